// A QApplication for the whole test program (offscreen), created before the
// first test and kept to the end, with its settings in a private directory.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <memory>

namespace quenlo::testing {

class QtAppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    static int argc = 1;
    static char name[] = "harvest_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  QTemporaryDir config_;
  std::unique_ptr<QApplication> app_;
};

inline const bool kQtAppRegistered =
    (::testing::AddGlobalTestEnvironment(new QtAppEnvironment), true);

}  // namespace quenlo::testing
