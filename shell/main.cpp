// quenlo: the window program, or one of its command-line tasks.
#include "export/export_cli.h"
#include "export/unfinished_exports.h"
#include "harvest/harvest_cli.h"
#include "shell/assemble.h"
#include "shell/command_line.h"
#include "shell/main_window.h"
#include "shell/qt_translation.h"
#include "shell/terminal_progress.h"
#include "shell/work_directory.h"
#include "store/database.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>

namespace {

constexpr char kDesktopEntryId[] = "net.quenlo.Quenlo";

void PrintLine(std::FILE* out, const QString& text) {
  std::fprintf(out, "%s\n", text.toLocal8Bit().constData());
}

// The first start of an installed quenlo makes the user's own record base.
struct FirstStart {
  bool created = false;
  quenlo::DbStatus status;
};

FirstStart PrepareRecordBase() {
  FirstStart start;
  start.status = quenlo::CreateUserRecordBaseIfMissing(&start.created);
  return start;
}

// Says where a new record base is, or why it could not be made; the harvests
// and the grid then report the missing base as usual.
void ReportOnTerminal(const FirstStart& start) {
  if (!start.status.Ok())
    PrintLine(stderr, QStringLiteral("quenlo: %1").arg(start.status.Message()));
  if (start.created)
    PrintLine(stderr, QStringLiteral("quenlo: first start: made an empty record base, %1")
                          .arg(QDir::toNativeSeparators(quenlo::DatabasePath())));
}

void ReportInWindow(QWidget* window, const FirstStart& start) {
  if (!start.status.Ok())
    QMessageBox::warning(window, QStringLiteral("Quenlo"), start.status.Message());
  if (start.created)
    QMessageBox::information(window, QStringLiteral("Quenlo"),
                             QStringLiteral("首次启动，已新建空的数据库：\n%1")
                                 .arg(QDir::toNativeSeparators(quenlo::DatabasePath())));
}

int CreateDatabaseCommand(int argc, char** argv, const QString& directory) {
  QCoreApplication app(argc, argv);
  if (const quenlo::DbStatus created = quenlo::CreateDatabase(directory); !created.Ok()) {
    PrintLine(stderr, QStringLiteral("quenlo: %1").arg(created.Message()));
    return 1;
  }
  PrintLine(stdout, QStringLiteral("quenlo: database ready in %1").arg(directory));
  return 0;
}

// A workbook export killed midway left a hidden temporary beside its target:
// it goes at the next start, and the exports of this run are noted in turn.
void TidyUnfinishedExports() {
  quenlo::ClearUnfinishedExports(quenlo::ExportNotesFolder());
  quenlo::SetExportNotesFolder(quenlo::ExportNotesFolder());
}

// Harvests and exports without a window: progress on stderr, messages too.
int TerminalCommand(int argc, char** argv, const QStringList& args, quenlo::LaunchMode mode) {
  QCoreApplication app(argc, argv);
  TidyUnfinishedExports();
  // Only the harvests exchange result files; an export's FILE stays relative
  // to where the user ran it.
  QString error;
  if (mode == quenlo::LaunchMode::Harvest && !quenlo::EnterWorkDirectory(&error)) {
    PrintLine(stderr, QStringLiteral("quenlo: %1").arg(error));
    return 1;
  }
  ReportOnTerminal(PrepareRecordBase());
  quenlo::TerminalProgress progress;
  quenlo::SetActiveProgress(&progress);
  const int status = mode == quenlo::LaunchMode::Harvest ? quenlo::RunHarvestCommand(args)
                                                         : quenlo::RunExportCommand(args);
  quenlo::SetActiveProgress(nullptr);
  if (mode == quenlo::LaunchMode::Harvest) quenlo::LeaveWorkDirectory();
  return status;
}

int WindowProgram(int argc, char** argv) {
  if (!quenlo::HasDisplay(QProcessEnvironment::systemEnvironment())) {
    PrintLine(stderr, quenlo::NoDisplayText());
    return 1;
  }
  QApplication app(argc, argv);
  // The menu entry's id and icon (Wayland matches the window to its entry by the id).
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopEntryId));
  QApplication::setWindowIcon(QIcon::fromTheme(QString::fromLatin1(kDesktopEntryId)));
  // Chinese captions need a CJK face even where the default font has none.
  QFont font = QApplication::font();
  font.setFamilies(
      {font.family(), QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
  QApplication::setFont(font);
  // Without it the standard dialogs still work, in English.
  quenlo::InstallQtChineseTranslation(app);

  TidyUnfinishedExports();
  QString error;
  if (!quenlo::EnterWorkDirectory(&error)) {
    QMessageBox::critical(nullptr, QStringLiteral("Quenlo"), error);
    return 1;
  }
  const FirstStart start = PrepareRecordBase();
  quenlo::MainWindow window;
  quenlo::AssembleMainWindow(window);
  window.show();
  ReportInWindow(&window, start);
  window.Start();
  const int status = app.exec();
  quenlo::LeaveWorkDirectory();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  quenlo::AnchorPathVariables();
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);

  switch (const quenlo::LaunchMode mode = quenlo::ClassifyCommandLine(args)) {
    case quenlo::LaunchMode::Window:
      return WindowProgram(argc, argv);
    case quenlo::LaunchMode::Help:
      std::fputs(quenlo::UsageText().toLocal8Bit().constData(), stdout);
      return 0;
    case quenlo::LaunchMode::CreateDatabase:
      return CreateDatabaseCommand(argc, argv, args.at(1));
    case quenlo::LaunchMode::Harvest:
    case quenlo::LaunchMode::Export:
      return TerminalCommand(argc, argv, args, mode);
    case quenlo::LaunchMode::Unknown:
      break;
  }
  std::fputs(quenlo::UsageText().toLocal8Bit().constData(), stderr);
  return 2;
}
