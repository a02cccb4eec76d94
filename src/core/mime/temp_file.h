#pragma once

// The program's temporary files ("vek..."), private to their owner.

#include <cstddef>
#include <string>
#include "core/mime/temp_file_error.h"

namespace pelnor {

// The temporary directory: $TMPDIR (or $TMP, $TEMP, $TEMPDIR), else /tmp.
std::string TempDirectory();

// Creates a new empty file "vek..." in the temporary directory, exclusively
// and readable by its owner only, and returns its path. The caller uses and
// deletes it. Throws ETempFileError, naming the directory, on failure.
std::string MakeTempFileName();

// The same file, still open: the caller gets the descriptor (read-write,
// close-on-exec) along with the path and need not open the file by name
// again. The caller closes and deletes it.
struct TempFile {
  std::string Path;
  int Fd = -1;
};
TempFile MakeTempFile();

// Writes all `size` bytes to `fd`, going on after interrupted calls.
// Returns 0, or the errno of the failure.
int WriteFully(int fd, const char* data, std::size_t size);
// Reads up to `size` bytes from the start of the file `fd` into `out`;
// `done` says how many came (fewer only at the end of the file). Returns 0,
// or the errno of the failure.
int ReadFully(int fd, char* out, std::size_t size, std::size_t& done);

}  // namespace pelnor
