#pragma once

#include <stdexcept>
#include <string>

namespace pelnor {

// A settings, account or history file that could not be read or written.
// The text names the file and what failed.
class StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace pelnor
