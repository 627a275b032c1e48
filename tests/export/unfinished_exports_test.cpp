// A workbook export killed midway leaves its hidden temporary beside the
// target; the next start of quenlo clears it, and nothing else. The killed
// export is a real child process that ends in the middle of writing; the
// next start is the real quenlo program.
#include "export/unfinished_exports.h"
#include "export/workbook_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

namespace quenlo {
namespace {

QStringList HiddenFiles(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A child that starts a workbook export to target and dies before it ends.
void ExportKilledMidway(const QString& notes, const QString& target) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SetExportNotesFolder(notes);
    auto* book = new WorkbookFile(target, QStringLiteral("Sheet1"));
    book->WriteText(0, 0, QStringLiteral("公司名称"), CellStyle::kCaption);
    ::_exit(book->Ok() ? 0 : 1);  // no destructor, no save: as if killed
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

class UnfinishedExportsTest : public ::testing::Test {
 protected:
  void TearDown() override { SetExportNotesFolder({}); }

  QString Notes() const { return QDir(work_.path()).filePath("exports"); }
  QString Target(const char* name) const { return QDir(out_.path()).filePath(name); }

  QTemporaryDir work_;
  QTemporaryDir out_;
};

TEST_F(UnfinishedExportsTest, AFinishedOrFailedExportLeavesNeitherTemporaryNorNote) {
  SetExportNotesFolder(Notes());
  {
    WorkbookFile book(Target("done.xlsx"), QStringLiteral("Sheet1"));
    book.WriteText(0, 0, QStringLiteral("x"), CellStyle::kPlain);
    ASSERT_EQ(QDir(Notes()).entryList(QDir::Files).size(), 1);  // noted while it writes
    ASSERT_TRUE(book.Save());
  }
  { WorkbookFile abandoned(Target("dropped.xlsx"), QStringLiteral("Sheet1")); }
  EXPECT_EQ(HiddenFiles(out_.path()), QStringList({"done.xlsx"}));
  EXPECT_TRUE(QDir(Notes()).entryList(QDir::Files).isEmpty());
}

TEST_F(UnfinishedExportsTest, TheNextStartClearsWhatAKilledExportLeftAndNothingElse) {
  ExportKilledMidway(Notes(), Target("all.xlsx"));
  const QStringList left = HiddenFiles(out_.path());
  ASSERT_EQ(left.size(), 1);
  EXPECT_TRUE(left[0].startsWith(".all.xlsx.")) << left[0].toStdString();

  // A running export's temporary and a note naming a file that is not hidden stay.
  SetExportNotesFolder(Notes());
  WorkbookFile running(Target("running.xlsx"), QStringLiteral("Sheet1"));
  QFile plain(Target("plain.xlsx"));
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  QFile forged(QDir(Notes()).filePath("1-forged"));  // pid 1 never ends in a test
  ASSERT_TRUE(forged.open(QIODevice::WriteOnly));
  forged.write(Target("plain.xlsx").toUtf8());
  forged.close();

  QProcess quenlo;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QUENLO_WORK_DIR", work_.path());
  environment.insert("QUENLO_DATA_DIR", QDir(work_.path()).filePath("no-base"));
  quenlo.setProcessEnvironment(environment);
  quenlo.start(QStringLiteral(QUENLO_BUILD_DIR "/quenlo"), {"export", Target("other.csv")});
  ASSERT_TRUE(quenlo.waitForFinished(30000));
  EXPECT_EQ(quenlo.exitCode(), 1);  // no base: the export itself fails, after the tidying

  const QStringList after = HiddenFiles(out_.path());
  EXPECT_FALSE(after.contains(left[0]));
  EXPECT_TRUE(after.contains("plain.xlsx"));
  EXPECT_EQ(after.filter(".running.xlsx.").size(), 1);
  EXPECT_EQ(QDir(Notes()).entryList(QDir::Files).size(), 2);  // the running one's, the forged one
}

}  // namespace
}  // namespace quenlo
