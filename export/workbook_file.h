// A one-sheet workbook (xlsx content, whatever the file name's ending) built
// cell by cell and written under a temporary name beside the target; only a
// complete workbook is moved over the target, so a failure never leaves a
// half-written file under the chosen name. A text longer than a sheet cell
// holds is cut to fit, and counted.
#pragma once

#include <QString>
#include <memory>

namespace quenlo {

enum class CellStyle {
  kPlain,     // no formatting
  kBordered,  // thin lines around the cell
  kCaption,   // thin lines, bold, the caption fill RGB(255, 192, 128)
};

// The most characters (UTF-16 units) a spreadsheet cell holds.
inline constexpr int kMaxCellCharacters = 32767;

class WorkbookFile {
 public:
  // Starts a workbook whose first and only sheet is called sheetName.
  WorkbookFile(const QString& fileName, const QString& sheetName);
  ~WorkbookFile();  // discards the workbook unless Save succeeded
  WorkbookFile(const WorkbookFile&) = delete;
  WorkbookFile& operator=(const WorkbookFile&) = delete;

  // Rows and columns count from 0. Every call after a failure does nothing.
  // A text is always written as text, never as a number or a formula.
  void WriteText(int row, int col, const QString& text, CellStyle style = CellStyle::kPlain);
  void WriteBlank(int row, int col, CellStyle style);  // formatting only, no value
  void SetColumnWidth(int col, double width);          // in characters
  // Writes the workbook and moves it over the target. False when anything failed.
  bool Save();
  bool Ok() const;
  // How many texts were cut to kMaxCellCharacters.
  int CutCells() const;
  // What went wrong, as far as it is known; empty while all is well.
  QString Error() const;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

// Tells the user how a workbook export ended: "文件保存出错！" when it failed,
// how many cells were cut when some were, nothing otherwise.
void ReportWorkbookSave(bool saved, int cutCells, const QString& why);

}  // namespace quenlo
