// One QApplication for a whole test program, created before the first test
// and kept to the end: on the offscreen platform unless the caller chose
// another, with configuration and cache in a private temporary directory so
// that no test reads or writes the user's own settings. Linking the
// quenlo_test_qt_app library is all a test program does to get it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace quenlo::testing {
namespace {

class QtAppEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    home_ = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_->filePath(QStringLiteral("config"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home_->filePath(QStringLiteral("cache"))));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override {
    app_.reset();
    home_.reset();
  }

 private:
  int argc_ = 1;
  char name_[12] = "quenlo_test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QTemporaryDir> home_;
  std::unique_ptr<QApplication> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

}  // namespace
}  // namespace quenlo::testing
