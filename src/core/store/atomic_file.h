#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace pelnor {

enum class FileAccess {
  kOwnerOnly,  // 0600: the file holds passwords or mail identifiers
  kKeepOrShared,  // the old file's mode, 0644 for a new file
};

// Replaces the file at `path` by `content`: writes a temporary file in the
// same directory, flushes it to disk and renames it over the old one, so an
// interrupted write leaves either the old or the new file, never a truncated
// one. Throws StoreError naming the file; the old file is then untouched.
void ReplaceFile(const std::string& path, std::string_view content, FileAccess access);

// Test seam: called with the temporary file's path once it is written and
// flushed, just before the rename. A hook that throws stands for a failure at
// that moment. Pass an empty function to remove it.
void SetBeforeRenameHookForTesting(std::function<void(const std::string& tempPath)> hook);

}  // namespace pelnor
