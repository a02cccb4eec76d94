#pragma once

// Exception texts on their way into the Shift_JIS log. Our own texts are
// ASCII and the paths in them UTF-8; a text that is not UTF-8 already holds
// Shift_JIS (an alias, a server's words) and stays as it is.

#include <string>
#include <string_view>

#include "core/pop3/pop3_errors.h"
#include "core/text/utf8.h"

namespace pelnor {

std::string LogTextOf(std::string_view what);

// The log's words for an account whose connection failed: "接続エラー", or
// with the reason (`why`, UTF-8) when it was the server's certificate
// ("証明書エラー: ...") or a server that would not secure the connection
// ("接続エラー: ..."), so the log tells what to look at.
std::string ConnectFailureLogText(ConnectFailure failure, const std::string& why);

}  // namespace pelnor
