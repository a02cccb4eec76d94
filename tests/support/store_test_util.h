#pragma once

// What the store tests look at in a program directory. ReadBytes and
// WriteBytes come with it from files.h.

#include <string>

#include "files.h"

namespace pelnor::test {

bool Exists(const std::string& path);
unsigned PermissionBits(const std::string& path);
// Number of entries in a directory: shows that no temporary file was left.
int EntryCount(const std::string& dir);

// A golden file under tests/data/store.
std::string GoldenPath(const std::string& name);

}  // namespace pelnor::test
