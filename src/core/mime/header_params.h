#pragma once

// Parameters of structured header fields (Content-Type, Content-Disposition),
// including the RFC 2231 forms mailers use for non-ASCII file names:
// name*=UTF-8''%E5%A0%B1.pdf and continuations filename*0*=, filename*1*=.

#include <optional>
#include <string>
#include <string_view>

namespace pelnor {

// The value of parameter `name` (any case) in a header line such as
// `Content-Type: text/plain; charset="utf-8"` (continuation lines already
// joined). An RFC 2231 value comes back decoded into UTF-8 from the
// charset it names; a plain one as it stands, quotes and backslash escapes
// taken away (encoded words and raw 8-bit text are left to the caller).
// RFC 2231 wins over a plain parameter of the same name. nullopt when the
// line has no such parameter. Raw ISO-2022-JP text is read whole: a ";" or
// quote inside its two-byte mode is not syntax.
std::optional<std::string> ParameterValue(std::string_view headerLine, std::string_view name);

}  // namespace pelnor
