#pragma once

#include <string>

namespace pelnor::test {

// A fresh directory under the system temp directory, removed with its
// contents at the end of the test. path() ends in "/", like the program
// directory.
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
unsigned PermissionBits(const std::string& path);
// Number of entries in a directory: shows that no temporary file was left.
int EntryCount(const std::string& dir);

// A golden file under tests/data/store.
std::string GoldenPath(const std::string& name);

}  // namespace pelnor::test
