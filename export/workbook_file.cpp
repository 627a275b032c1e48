#include "export/workbook_file.h"

#include "export/unfinished_exports.h"

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "export/export_texts.h"
#include "ports/messenger.h"

namespace quenlo {
namespace {

constexpr lxw_color_t kCaptionFill = 0xFFC080;  // RGB(255, 192, 128) as 0xRRGGBB

// Reserves a fresh name in the target's directory so that the final rename
// stays on one file system and replaces the target in one step.
QString ReserveTemporaryName(const QString& fileName) {
  const QFileInfo target(fileName);
  QTemporaryFile reserved(
      target.absoluteDir().filePath(u'.' + target.fileName() + QStringLiteral(".XXXXXX")));
  reserved.setAutoRemove(false);
  if (!reserved.open()) return {};
  return reserved.fileName();
}

// The reserved name was made private to this user; the workbook should get
// what a plain new file gets (as the CSV export does), or keep the
// permissions of the file it replaces.
void GiveUsualPermissions(const QString& temporary, const QString& target) {
  if (QFileInfo::exists(target)) {
    QFile::setPermissions(temporary, QFile::permissions(target));
    return;
  }
#ifdef Q_OS_UNIX
  const mode_t mask = ::umask(0);
  ::umask(mask);
  std::error_code ignored;
  std::filesystem::permissions(std::filesystem::path(temporary.toStdU16String()),
                               std::filesystem::perms(0666 & ~mask), ignored);
#endif
}

// text cut to what a cell holds, never between the two halves of a surrogate pair.
QString FittingCell(const QString& text) {
  qsizetype length = kMaxCellCharacters;
  if (text.at(length - 1).isHighSurrogate()) --length;
  return text.left(length);
}

bool ReplaceFile(const QString& from, const QString& to, QString* why) {
  std::error_code error;
  std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                          std::filesystem::path(to.toStdU16String()), error);
  if (error) *why = QString::fromStdString(error.message());
  return !error;
}

// libxlsxwriter's word for a failure, with the system's when it set one.
QString WriterError(lxw_error error, int systemError) {
  QString why = QString::fromUtf8(lxw_strerror(error));
  if (systemError != 0)
    why += QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(systemError));
  return why;
}

}  // namespace

struct WorkbookFile::Parts {
  QString target;
  QString temporary;
  QString note;  // so that a killed export's temporary goes at the next start
  lxw_workbook* workbook = nullptr;
  lxw_worksheet* sheet = nullptr;
  lxw_format* bordered = nullptr;
  lxw_format* caption = nullptr;
  bool ok = false;
  bool saved = false;
  int cutCells = 0;
  QString error;

  lxw_format* Format(CellStyle style) const {
    switch (style) {
      case CellStyle::kBordered:
        return bordered;
      case CellStyle::kCaption:
        return caption;
      case CellStyle::kPlain:
        break;
    }
    return nullptr;
  }
  void Check(lxw_error result) {
    if (result == LXW_NO_ERROR) return;
    if (ok) error = WriterError(result, 0);
    ok = false;
  }
};

WorkbookFile::WorkbookFile(const QString& fileName, const QString& sheetName)
    : parts_(std::make_unique<Parts>()) {
  Parts& p = *parts_;
  // A link is followed, as the CSV export follows it: the file it names is
  // replaced, not the link.
  const QString linked = QFileInfo(fileName).canonicalFilePath();
  p.target = QFileInfo(fileName).isSymLink() && !linked.isEmpty() ? linked : fileName;
  p.temporary = ReserveTemporaryName(p.target);
  if (p.temporary.isEmpty()) {
    p.error = QString::fromLocal8Bit(std::strerror(errno));
    return;
  }
  p.note = NoteUnfinishedExport(p.temporary);
  lxw_workbook_options options{};
  options.constant_memory = 1;  // rows are written in order; keeps big sheets out of memory
  p.workbook = workbook_new_opt(QFile::encodeName(p.temporary).constData(), &options);
  if (!p.workbook) return;
  p.sheet = workbook_add_worksheet(p.workbook, sheetName.toUtf8().constData());
  if (!p.sheet) return;
  p.bordered = workbook_add_format(p.workbook);
  format_set_border(p.bordered, LXW_BORDER_THIN);
  p.caption = workbook_add_format(p.workbook);
  format_set_border(p.caption, LXW_BORDER_THIN);
  format_set_bold(p.caption);
  format_set_bg_color(p.caption, kCaptionFill);
  p.ok = true;
}

WorkbookFile::~WorkbookFile() {
  Parts& p = *parts_;
  if (!p.saved) {
    if (p.workbook) lxw_workbook_free(p.workbook);
    if (!p.temporary.isEmpty()) QFile::remove(p.temporary);
  }
  ForgetUnfinishedExport(p.note);
}

bool WorkbookFile::Ok() const { return parts_->ok; }

int WorkbookFile::CutCells() const { return parts_->cutCells; }
QString WorkbookFile::Error() const { return parts_->error; }

void WorkbookFile::WriteText(int row, int col, const QString& text, CellStyle style) {
  Parts& p = *parts_;
  if (!p.ok) return;
  const bool tooLong = text.size() > kMaxCellCharacters;
  if (tooLong) ++p.cutCells;
  const QByteArray utf8 = (tooLong ? FittingCell(text) : text).toUtf8();
  p.Check(worksheet_write_string(p.sheet, row, static_cast<lxw_col_t>(col), utf8.constData(),
                                 p.Format(style)));
}

void WorkbookFile::WriteBlank(int row, int col, CellStyle style) {
  Parts& p = *parts_;
  if (!p.ok) return;
  p.Check(worksheet_write_blank(p.sheet, row, static_cast<lxw_col_t>(col), p.Format(style)));
}

void WorkbookFile::SetColumnWidth(int col, double width) {
  Parts& p = *parts_;
  if (!p.ok) return;
  const auto column = static_cast<lxw_col_t>(col);
  p.Check(worksheet_set_column(p.sheet, column, column, width, nullptr));
}

bool WorkbookFile::Save() {
  Parts& p = *parts_;
  if (!p.ok) return false;
  errno = 0;
  const lxw_error written = workbook_close(p.workbook);
  p.workbook = nullptr;
  if (written != LXW_NO_ERROR) p.error = WriterError(written, errno);
  if (written == LXW_NO_ERROR) GiveUsualPermissions(p.temporary, p.target);
  p.ok = written == LXW_NO_ERROR && ReplaceFile(p.temporary, p.target, &p.error);
  p.saved = p.ok;
  return p.ok;
}

void ReportWorkbookSave(bool saved, int cutCells, const QString& why) {
  if (!saved) {
    ShowMessage(WithReason(kSaveFailedMessage, why));
  } else if (cutCells > 0) {
    ShowMessage(CutCellsMessage(cutCells));
  }
}

}  // namespace quenlo
