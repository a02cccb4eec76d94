#pragma once

// Opening a document or URL with the handler the desktop has registered for
// it (the mail program for "mailto:", the browser for web pages and HTML).

#include <string>

namespace pelnor {

class ShellOpener {
 public:
  virtual ~ShellOpener() = default;
  // `target` is a URL in UTF-8; true when a handler took it.
  virtual bool Open(const std::string& target) = 0;
};

}  // namespace pelnor
