#pragma once

#include <string>

namespace pelnor {

// Takes `id` back out of the account's output history (every entry equal
// to it), so that the next check outputs the message again. Used when the
// output of a message that was recorded just now failed. A missing history
// file stays missing. Throws StoreError.
void ForgetOutput(const std::string& dir, const std::string& alias, const std::string& id);

}  // namespace pelnor
