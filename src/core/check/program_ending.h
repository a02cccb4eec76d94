#pragma once

// Thrown by the event pump once the program has been told to end (終了, a
// signal, the end of the desktop session) while a check runs: the check
// unwinds at once, its print job and spool files go with it, and nothing
// half done counts as printed.

#include <stdexcept>

namespace pelnor {

class EProgramEnding : public std::runtime_error {
 public:
  EProgramEnding() : std::runtime_error("the program is ending") {}
};

}  // namespace pelnor
