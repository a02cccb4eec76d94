// One QApplication for a whole test program of dialogs and windows, on the
// offscreen platform unless the caller chose another. A closed window never
// ends an event loop a test runs: the program lives in the tray.

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class QtWidgetsAppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
    QApplication::setQuitOnLastWindowClosed(false);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "pelnor-tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

// gtest takes ownership of registered environments.
[[maybe_unused]] ::testing::Environment* const kQtWidgetsApp =
    ::testing::AddGlobalTestEnvironment(new QtWidgetsAppEnvironment);

}  // namespace
