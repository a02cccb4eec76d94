#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/atomic_file.h"

namespace pelnor {

// The whole file, or nothing when it does not exist. Throws StoreError when
// the file exists but cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Splits text into lines ended by LF or CR LF. A last line without an end
// counts; the end of the last line does not start another one.
std::vector<std::string> SplitFileLines(std::string_view text);

// Appends `content` to the file, creating it with the given access.
// Throws StoreError naming the file.
void AppendToFile(const std::string& path, std::string_view content, FileAccess access);

// True when a file (or directory) exists at `path`.
bool FileExists(const std::string& path);

}  // namespace pelnor
