// Code detection and every conversion on arbitrary bytes: no crash, no read
// past the input, no endless loop, and results that keep their contracts.

#include "core/text/japanese_code.h"
#include "../tests/core/text/jis_reference.h"

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
  for (HankakuForm form : {hkSjis, hkEuc}) {
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
