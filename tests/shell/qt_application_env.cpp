// One QApplication for the widget tests, with settings and cache in a
// temporary directory so that no test touches the user's own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <memory>

namespace {

class QtApplicationEnv final : public ::testing::Environment {
 public:
  void SetUp() override {
    home_ = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", home_->filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", home_->filePath(QStringLiteral("cache")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override {
    app_.reset();
    home_.reset();
  }

 private:
  int argc_ = 1;
  char name_[16] = "shell_ui_test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QTemporaryDir> home_;
  std::unique_ptr<QApplication> app_;
};

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new QtApplicationEnv);

}  // namespace
