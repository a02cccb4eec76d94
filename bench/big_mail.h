#pragma once

#include <cstddef>
#include <string>

namespace pelnor::bench {

// A mail of about `bytes` whose bulk is one base64 attachment of random
// bytes, the usual shape of a big mail; each `n` its own Message-ID.
std::string BigMail(int n, std::size_t bytes);

}  // namespace pelnor::bench
