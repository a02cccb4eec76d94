#pragma once

// The MIME type of an attachment, from its file name.

#include <string>
#include <string_view>

namespace pelnor {

// MIME type for the extension of `fileName` (from the last "."), looked up in
// /etc/mime.types; "application/octet-stream" when unknown.
std::string ContentTypeOfFile(std::string_view fileName);

}  // namespace pelnor
