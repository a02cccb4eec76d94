// One QApplication for the whole test program; see qt_test_app.h.

#include "qt_test_app.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace pelnor::test {

namespace {

// Reached through a function, so that a test file's initialiser may hand its
// platform over before or after this file's initialisers ran. Empty until
// the program chooses one.
std::unique_ptr<QtPlatform>& ChosenPlatform() {
  static std::unique_ptr<QtPlatform> platform;
  return platform;
}

class QtAppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    // Not the developer's desktop: tests see the same platform everywhere.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!ChosenPlatform()) ChosenPlatform() = std::make_unique<QtPlatform>();
    ChosenPlatform()->BeforeApplication();
    app_ = std::make_unique<QApplication>(argc_, argv_);
    // A closed window never ends an event loop a test runs: the program
    // lives in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
    ChosenPlatform()->WithApplication();
  }
  void TearDown() override {
    app_.reset();
    ChosenPlatform()->AfterApplication();
  }

 private:
  int argc_ = 1;
  char name_[16] = "pelnor-tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

// gtest takes ownership of registered environments.
[[maybe_unused]] ::testing::Environment* const kQtApp =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

}  // namespace

bool UseQtPlatform(std::unique_ptr<QtPlatform> platform) {
  if (ChosenPlatform()) throw std::logic_error("UseQtPlatform: the platform is chosen already");
  ChosenPlatform() = std::move(platform);
  return true;
}

}  // namespace pelnor::test
