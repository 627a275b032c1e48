#include "shell/work_directory.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <sys/wait.h>
#include <unistd.h>
#include <QFile>
#include <QTemporaryDir>

namespace quenlo {
namespace {

void Touch(const QString& path) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("x");
}

TEST(WorkDirectory, EnvironmentNamesItAndEnteringCreatesIt) {
  QTemporaryDir root;
  const QString wanted = root.filePath(QStringLiteral("deep/work"));
  const QString previous = QDir::currentPath();
  qputenv(kWorkDirEnv, wanted.toLocal8Bit());
  EXPECT_EQ(WorkDirectory(), wanted);
  QString error;
  EXPECT_TRUE(EnterWorkDirectory(&error)) << error.toStdString();
  const QString own = QDir(wanted).canonicalPath() + QStringLiteral("/run-%1").arg(QCoreApplication::applicationPid());
  EXPECT_EQ(QDir::currentPath(), own);
  Touch(QStringLiteral("Temp_left"));
  LeaveWorkDirectory();
  EXPECT_FALSE(QDir(own).exists());
  EXPECT_EQ(QDir::currentPath(), QDir(wanted).canonicalPath());
  QDir::setCurrent(previous);
  qunsetenv(kWorkDirEnv);
  EXPECT_TRUE(WorkDirectory().endsWith(QStringLiteral("quenlo/work")));
}

TEST(WorkDirectory, UnusableDirectoryIsReported) {
  QTemporaryDir root;
  Touch(root.filePath(QStringLiteral("file")));
  qputenv(kWorkDirEnv, root.filePath(QStringLiteral("file/work")).toLocal8Bit());
  QString error;
  EXPECT_FALSE(EnterWorkDirectory(&error));
  EXPECT_FALSE(error.isEmpty());
  qunsetenv(kWorkDirEnv);
}

// Each process has its own folder; one left by a process that has ended is
// cleared by the next start, one of a running process is left alone.
TEST(WorkDirectory, FoldersOfEndedProcessesAreCleared) {
  QTemporaryDir root;
  const QString previous = QDir::currentPath();
  qputenv(kWorkDirEnv, root.path().toLocal8Bit());
  const pid_t ended = ::fork();
  if (ended == 0) ::_exit(0);
  ASSERT_GT(ended, 0);
  ::waitpid(ended, nullptr, 0);
  const QString gone = root.filePath(QStringLiteral("run-%1").arg(ended));
  const QString alive = root.filePath(QStringLiteral("run-1"));  // init never ends
  for (const QString& dir : {gone, alive}) {
    ASSERT_TRUE(QDir().mkpath(dir));
    Touch(dir + QStringLiteral("/Temp_x"));
  }
  QString error;
  EXPECT_TRUE(EnterWorkDirectory(&error)) << error.toStdString();
  EXPECT_FALSE(QDir(gone).exists());
  EXPECT_TRUE(QFile::exists(alive + QStringLiteral("/Temp_x")));
  LeaveWorkDirectory();
  QDir::setCurrent(previous);
  qunsetenv(kWorkDirEnv);
}

TEST(WorkDirectory, RelativePathSettingsAreAnchoredWhereQuenloStarted) {
  qputenv("QUENLO_DATA_DIR", "data");
  qputenv("QUENLO_PITREL", "/opt/pitrel");
  AnchorPathVariables();
  EXPECT_EQ(qEnvironmentVariable("QUENLO_DATA_DIR"), QDir::current().absoluteFilePath("data"));
  EXPECT_EQ(qEnvironmentVariable("QUENLO_PITREL"), "/opt/pitrel");
  qunsetenv("QUENLO_DATA_DIR");
  qunsetenv("QUENLO_PITREL");
}

TEST(RemoveLeftoverResultFiles, RemovesOnlyTheWorkersFiles) {
  QTemporaryDir dir;
  const QStringList workers{"TempPage_0", "TempPage_12.TMP", "Temp_abc123", "Temp_abc123.TMP",
                            "Temp_abc123.t"};
  const QStringList others{"Temp", "Template.doc", "TempPage", "temp_lower", "notes.txt"};
  for (const QString& name : workers + others) Touch(dir.filePath(name));
  QDir(dir.path()).mkdir(QStringLiteral("Temp_folder"));

  EXPECT_EQ(RemoveLeftoverResultFiles(dir.path()), workers.size());
  for (const QString& name : workers) EXPECT_FALSE(QFile::exists(dir.filePath(name))) << name.toStdString();
  for (const QString& name : others) EXPECT_TRUE(QFile::exists(dir.filePath(name))) << name.toStdString();
  EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("Temp_folder"))).exists());
}

}  // namespace
}  // namespace quenlo
