#include "core/text/japanese_code.h"

namespace pelnor {
namespace {

bool IsJis(int code) { return code == jcJis || code == jcJisOld; }

std::string ToSjis(std::string_view text, int code) {
  if (IsJis(code)) return JisToSjis(text);
  if (code == jcEuc) return EucToSjis(text);
  return std::string(text);
}

std::string ToJis(std::string_view text, int code) {
  if (code == jcEuc) return EucToJis(text);
  if (code == jcSjis) return SjisToJis(text);
  return std::string(text);
}

std::string ToEuc(std::string_view text, int code) {
  if (IsJis(code)) return JisToEuc(text);
  if (code == jcSjis) return SjisToEuc(text);
  return std::string(text);
}

}  // namespace

std::string ConvertCode(std::string_view text, int target) {
  const int code = DetectCode(text);
  if (code == jcAscii || code == jcBinary || code == jcEucOrSjis ||
      code == target) {
    return std::string(text);
  }
  switch (target) {
    case jcSjis:
      return ToSjis(text, code);
    case jcJis:
      return ToJis(text, code);
    case jcEuc:
      return ToEuc(text, code);
    default:
      return std::string(text);
  }
}

}  // namespace pelnor
