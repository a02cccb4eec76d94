#pragma once

// Base64 decoding of attachment lines. Groups of four values run on across
// line ends, characters outside the alphabet are skipped, and "=" marks
// padding; the group rules are those of the attachment decoder.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pelnor {

class Base64GroupDecoder {
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

  // How runs of plain alphabet characters are decoded: group by group, or
  // 16 (SSE2, SSSE3) or 32 (AVX2) characters at a time. The fastest one this
  // machine runs is picked on first use; tests and benchmarks force each
  // one in turn. All of them give the same bytes.
  enum class EBlockDecoder { Scalar, Sse2, Ssse3, Avx2 };
  static bool Supports(EBlockDecoder kind);
  static EBlockDecoder BestBlockDecoder();
  // Process-wide; an unsupported `kind` means Scalar. Not for use while
  // another thread decodes.
  static void UseBlockDecoder(EBlockDecoder kind);
  static EBlockDecoder CurrentBlockDecoder();

 private:
  char* EmitGroup(char* out) const;

  std::uint8_t values_[4] = {};
  int count_ = 0;
};

}  // namespace pelnor
