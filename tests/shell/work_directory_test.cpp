#include "shell/work_directory.h"

#include <gtest/gtest.h>

#include <QDir>
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
