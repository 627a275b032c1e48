#include "shell/command_line.h"

namespace quenlo {

LaunchMode ClassifyCommandLine(const QStringList& args) {
  if (args.isEmpty()) return LaunchMode::Window;
  const QString& first = args.front();
  if (first == QLatin1String("--help") || first == QLatin1String("-h")) return LaunchMode::Help;
  if (first == QLatin1String("--create-database"))
    return args.size() == 2 ? LaunchMode::CreateDatabase : LaunchMode::Unknown;
  if (first == QLatin1String("members") || first == QLatin1String("contacts") ||
      first == QLatin1String("profiles"))
    return LaunchMode::Harvest;
  if (first == QLatin1String("export")) return LaunchMode::Export;
  return LaunchMode::Unknown;
}

QString UsageText() {
  return QStringLiteral(
      "Usage:\n"
      "  quenlo                               open the main window\n"
      "  quenlo --create-database DIR         create DIR/DATA.mdb\n"
      "  quenlo members KEYWORD [REGION] [--threads N]\n"
      "                                       collect member names for a keyword\n"
      "  quenlo contacts [--threads N]        collect contact details of new members\n"
      "  quenlo profiles [--threads N]        collect company profiles\n"
      "    each harvest also takes --retries N (further tries of a page that\n"
      "    failed for a passing reason, default 2) and --delay MS (the least\n"
      "    pause between page starts to one host, default 0)\n"
      "  quenlo export FILE [--force] [--shown FIELD KEYWORD] [--encoding ENC] [--phones FORM]\n"
      "                                       export records to FILE (.csv, .vcf or a\n"
      "                                       workbook); --force replaces FILE\n"
      "  quenlo --help                        show this text\n"
      "\n"
      "Harvests and exports print their progress on stderr. Result files of the\n"
      "workers are exchanged in $QUENLO_WORK_DIR (default: quenlo/work in the\n"
      "user's cache directory).\n"
      "\n"
      "Exit status: 0 done; 1 failed, saying why on stderr (a harvest: also when\n"
      "a page failed for good, the rest being stored); 2 bad arguments; 130\n"
      "stopped by Ctrl+C or SIGTERM.\n");
}

bool HasDisplay(const QProcessEnvironment& env) {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    if (!env.value(QString::fromLatin1(name)).isEmpty()) return true;
  }
  return false;
}

QString NoDisplayText() {
  return QStringLiteral(
      "quenlo: no display found (DISPLAY and WAYLAND_DISPLAY are unset); use the command line "
      "(quenlo --help) or run the window under a virtual display: xvfb-run -a quenlo");
}

}  // namespace quenlo
