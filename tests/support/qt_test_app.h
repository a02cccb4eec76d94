#pragma once

// The one Qt application of a test program linked with pelnor_test_qt: a
// QApplication made before the first test and ended after the last, on the
// offscreen platform unless the program's own platform set-up chooses another.

#include <memory>

namespace pelnor::test {

// What a test program needs around its Qt application, such as a private X
// desktop to connect to. Each step runs once.
class QtPlatform {
 public:
  virtual ~QtPlatform() = default;
  // Before the application is made: start a server, set QT_QPA_PLATFORM.
  virtual void BeforeApplication() {}
  // Once the application is there: wait for what needs its events.
  virtual void WithApplication() {}
  // After the application has ended: stop what BeforeApplication started.
  virtual void AfterApplication() {}
};

// Hands over the program's platform set-up, at most once, from a
// namespace-scope initialiser (hence the result, always true).
bool UseQtPlatform(std::unique_ptr<QtPlatform> platform);

}  // namespace pelnor::test
