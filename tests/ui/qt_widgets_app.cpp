// One QApplication for a whole dialog test program, on the offscreen
// platform unless the caller chose another. The shared one of
// support/qt_test_app.cpp is a QGuiApplication, which cannot hold widgets.

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class QtWidgetsAppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
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
