#pragma once

// Whole files as byte strings: what a test writes for the code to read, and
// reads back of what the code wrote. Bytes go through unchanged (no line-end
// or text conversion).

#include <filesystem>
#include <string>

namespace pelnor::test {

// The file's bytes; throws std::runtime_error when it cannot be opened.
std::string ReadBytes(const std::filesystem::path& path);
// The file's bytes, or "" when there is none (yet): a log the code may not
// have started, a server's output for a failure message.
std::string ReadBytesIfExists(const std::filesystem::path& path);
// Replaces the file's content, making its missing parent directories;
// throws std::runtime_error when it cannot be written.
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace pelnor::test
