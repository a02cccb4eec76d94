// Code detection and every conversion on arbitrary bytes: no crash, no read
// past the input, no endless loop, and results that keep their contracts.

#include "mime/jconvert.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace pelnor;

void Require(bool condition) {
  if (!condition) std::abort();
}

// JisToSjis works in 16-byte blocks; this reads the same rules one byte at
// a time.
std::string ReferenceJisToSjis(std::string_view text) {
  std::string out;
  bool twoByte = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == 0x1B) {
      if (i + 2 >= text.size()) break;
      if (text[i + 1] == '$') twoByte = true;
      if (text[i + 1] == '(') twoByte = false;
      i += 3;
    } else if (!twoByte) {
      out += text[i++];
    } else {
      const auto c2 = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
      const TBytePair p = JisPairToSjis(c, c2);
      out += static_cast<char>(p.first);
      out += static_cast<char>(p.second);
      i += 2;
    }
  }
  return out;
}

void CheckConvertCode(std::string_view text) {
  const int code = DetectCode(text);
  Require(code >= jcAscii && code <= jcEucOrSjis);
  const bool untouched =
      code == jcAscii || code == jcBinary || code == jcEucOrSjis;
  for (int target : {int{jcSjis}, int{jcJis}, int{jcEuc}, int{jcAscii}, 99}) {
    const std::string out = ConvertCode(text, target);
    if (untouched || code == target) Require(out == text);
  }
  if (code == jcJis || code == jcJisOld) {
    Require(ConvertCode(text, jcSjis) == JisToSjis(text));
  }
}

void CheckConverters(std::string_view text) {
  // Escapes are dropped and pairs keep their size: never longer than the
  // input plus the 0 that pairs a lone last byte.
  const std::string sjis = JisToSjis(text);
  Require(sjis.size() <= text.size() + 1);
  Require(sjis == ReferenceJisToSjis(text));
  Require(EucToSjis(text).size() <= text.size() + 1);
  Require(JisToEuc(text).size() <= text.size());
  SjisToJis(text);
  EucToJis(text);
  SjisToEuc(text);
  Require(Base64DecodeText(text).size() <= text.size());
}

void CheckHankaku(std::string_view text) {
  for (THankakuForm form : {hkSjis, hkEuc}) {
    for (std::size_t start = 0; start < text.size(); ++start) {
      std::size_t pos = start;
      HankakuToJis(text, pos, form);
      Require(pos > start && pos <= text.size() && pos - start <= 4);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckConvertCode(text);
  CheckConverters(text);
  CheckHankaku(text.substr(0, 256));
  return 0;
}
