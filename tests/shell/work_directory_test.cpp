#include "shell/work_directory.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <optional>

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
  const QString own = QDir(wanted).canonicalPath() +
                      QStringLiteral("/run-%1").arg(QCoreApplication::applicationPid());
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

// Sets environment variables for one scope and puts back what was there.
class ScopedEnvironment {
 public:
  ~ScopedEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value) qputenv(name.constData(), *value);
      else qunsetenv(name.constData());
    }
  }
  void Set(const char* name, const QString& value) {
    if (!saved_.contains(QByteArray(name)))
      saved_[name] = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
    if (value.isNull()) qunsetenv(name);
    else qputenv(name, value.toLocal8Bit());
  }

 private:
  std::map<QByteArray, std::optional<QByteArray>> saved_;
};

// Result files go to the runtime directory (memory on a desktop); the notes
// of unfinished exports stay in the cache directory, which outlives a
// restart; run folders that an older quenlo left there are still cleared.
TEST(WorkDirectory, ResultsGoToTheRuntimeDirectoryAndWhatMustLastToTheCache) {
  QTemporaryDir runtime, cache;
  ScopedEnvironment environment;
  environment.Set(kWorkDirEnv, QString());
  environment.Set("XDG_RUNTIME_DIR", runtime.path());
  environment.Set("XDG_CACHE_HOME", cache.path());
  const QString lasting = cache.filePath(QStringLiteral("quenlo/work"));
  EXPECT_EQ(WorkDirectory(), runtime.filePath(QStringLiteral("quenlo/work")));
  EXPECT_EQ(LastingWorkDirectory(), lasting);
  EXPECT_EQ(ExportNotesFolder(), lasting + QStringLiteral("/exports"));

  const pid_t ended = ::fork();
  if (ended == 0) ::_exit(0);
  ASSERT_GT(ended, 0);
  ::waitpid(ended, nullptr, 0);
  const QString left = lasting + QStringLiteral("/run-%1").arg(ended);
  ASSERT_TRUE(QDir().mkpath(left));
  Touch(left + QStringLiteral("/Temp_x"));
  const QString previous = QDir::currentPath();
  QString error;
  ASSERT_TRUE(EnterWorkDirectory(&error)) << error.toStdString();
  EXPECT_TRUE(QDir::currentPath().startsWith(QDir(runtime.path()).canonicalPath()));
  EXPECT_FALSE(QDir(left).exists());
  LeaveWorkDirectory();
  QDir::setCurrent(previous);

  // QUENLO_WORK_DIR names both; a runtime directory that is not a usable
  // directory of the user's leaves the work in the cache.
  const QString named = runtime.filePath(QStringLiteral("named"));
  environment.Set(kWorkDirEnv, named);
  EXPECT_EQ(WorkDirectory(), named);
  EXPECT_EQ(LastingWorkDirectory(), named);
  environment.Set(kWorkDirEnv, QString());
  Touch(runtime.filePath(QStringLiteral("a-file")));
  for (const QString& unusable :
       {QStringLiteral("run/user/1000"), runtime.filePath(QStringLiteral("missing")),
        runtime.filePath(QStringLiteral("a-file"))}) {
    environment.Set("XDG_RUNTIME_DIR", unusable);
    EXPECT_EQ(WorkDirectory(), lasting) << unusable.toStdString();
  }
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
  for (const QString& name : workers)
    EXPECT_FALSE(QFile::exists(dir.filePath(name))) << name.toStdString();
  for (const QString& name : others)
    EXPECT_TRUE(QFile::exists(dir.filePath(name))) << name.toStdString();
  EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("Temp_folder"))).exists());
}

}  // namespace
}  // namespace quenlo
