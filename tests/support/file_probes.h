#pragma once

// What the temporary-file tests look at: the descriptors this process holds,
// and test bytes that differ from position to position, so a piece written
// twice or out of order shows.

#include <dirent.h>

#include <cstddef>
#include <string>

namespace pelnor::test {

inline int OpenDescriptors() {
  int count = 0;
  DIR* dir = ::opendir("/proc/self/fd");
  if (!dir) return -1;
  while (const dirent* e = ::readdir(dir))
    if (e->d_name[0] != '.') ++count;
  ::closedir(dir);
  return count;
}

inline std::string Pattern(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>((i * 131 + seed * 7 + i / 251) & 0xFF);
  return bytes;
}

}  // namespace pelnor::test
