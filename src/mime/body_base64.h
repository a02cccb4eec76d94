#pragma once

// Base64 decoding of attachment lines. Groups of four values run on across
// line ends, characters outside the alphabet are skipped, and "=" marks
// padding; the group rules are those of the attachment decoder.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pelnor {

class TBase64GroupDecoder {
 public:
  // Most bytes DecodeLine can write for a line of `length` characters.
  static constexpr std::size_t MaxOutput(std::size_t length) {
    return (length / 4 + 1) * 3;
  }

  // Decodes one line into `out` (room for MaxOutput(line.size()) bytes).
  // Returns the bytes written; `groups` receives the number of groups that
  // were completed in this line.
  std::size_t DecodeLine(std::string_view line, char* out, std::size_t& groups);

  // Values of the unfinished group (dropped at the end of an attachment).
  int Pending() const { return count_; }

 private:
  char* EmitGroup(char* out) const;

  std::uint8_t values_[4] = {};
  int count_ = 0;
};

}  // namespace pelnor
