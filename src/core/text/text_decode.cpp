#include "core/text/text_decode.h"

#include <algorithm>
#include <array>

#include "core/text/charset_converter.h"
#include "core/text/japanese_code.h"
#include "core/text/sjis.h"
#include "core/text/text_util.h"
#include "core/text/utf8.h"

namespace pelnor {
namespace {

enum class Decoder { Unlabelled, WindowsJis, Utf8, Iconv };

struct CharsetRule {
  std::string_view mimeName;  // lower case
  Decoder decoder;
  const char* iconvName;
};

// MIME names whose meaning differs from iconv's reading of the same name,
// or that iconv does not know. Mail from Windows means the Microsoft
// supersets when it says the standard name.
constexpr std::array kRules = {
    CharsetRule{"", Decoder::Unlabelled, nullptr},
    CharsetRule{"us-ascii", Decoder::Unlabelled, nullptr},
    CharsetRule{"ascii", Decoder::Unlabelled, nullptr},
    CharsetRule{"unknown-8bit", Decoder::Unlabelled, nullptr},
    CharsetRule{"x-unknown", Decoder::Unlabelled, nullptr},
    CharsetRule{"utf-8", Decoder::Utf8, nullptr},
    CharsetRule{"utf8", Decoder::Utf8, nullptr},
    CharsetRule{"iso-2022-jp", Decoder::WindowsJis, nullptr},
    CharsetRule{"iso-2022-jp-1", Decoder::WindowsJis, nullptr},
    CharsetRule{"csiso2022jp", Decoder::WindowsJis, nullptr},
    CharsetRule{"cp50220", Decoder::WindowsJis, nullptr},
    CharsetRule{"cp50221", Decoder::WindowsJis, nullptr},
    CharsetRule{"cp50222", Decoder::WindowsJis, nullptr},
    CharsetRule{"shift_jis", Decoder::Iconv, "CP932"},
    CharsetRule{"shift-jis", Decoder::Iconv, "CP932"},
    CharsetRule{"sjis", Decoder::Iconv, "CP932"},
    CharsetRule{"x-sjis", Decoder::Iconv, "CP932"},
    CharsetRule{"ms_kanji", Decoder::Iconv, "CP932"},
    CharsetRule{"csshiftjis", Decoder::Iconv, "CP932"},
    CharsetRule{"windows-31j", Decoder::Iconv, "CP932"},
    CharsetRule{"cp932", Decoder::Iconv, "CP932"},
    CharsetRule{"ms932", Decoder::Iconv, "CP932"},
    CharsetRule{"euc-jp", Decoder::Iconv, "EUC-JP-MS"},
    CharsetRule{"x-euc-jp", Decoder::Iconv, "EUC-JP-MS"},
    CharsetRule{"eucjp", Decoder::Iconv, "EUC-JP-MS"},
    CharsetRule{"eucjp-ms", Decoder::Iconv, "EUC-JP-MS"},
    CharsetRule{"cseucpkdfmtjapanese", Decoder::Iconv, "EUC-JP-MS"},
    CharsetRule{"iso-8859-1", Decoder::Iconv, "CP1252"},
    CharsetRule{"latin1", Decoder::Iconv, "CP1252"},
    CharsetRule{"gb2312", Decoder::Iconv, "GB18030"},
    CharsetRule{"gbk", Decoder::Iconv, "GB18030"},
    CharsetRule{"x-gbk", Decoder::Iconv, "GB18030"},
    CharsetRule{"cp936", Decoder::Iconv, "GB18030"},
    CharsetRule{"big5", Decoder::Iconv, "CP950"},
    CharsetRule{"euc-kr", Decoder::Iconv, "CP949"},
    CharsetRule{"ks_c_5601-1987", Decoder::Iconv, "CP949"},
};

// Mail decides the name; only plain charset names reach iconv, never
// options such as "//TRANSLIT" or paths.
bool IsPlainCharsetName(std::string_view name) {
  if (name.empty() || name.size() > 40) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.' || c == ':';
  });
}

std::string CleanName(std::string_view charset) {
  std::string name = LowerCase(Trim(charset));
  if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'') &&
      name.back() == name.front())
    name = Trim(std::string_view(name).substr(1, name.size() - 2));
  return name;
}

std::string Cp932ToUtf8(std::string_view cp932) { return SjisToUtf8(cp932); }

std::string IconvToUtf8(const char* iconvName, std::string_view bytes) {
  CharsetConverter converter(iconvName);
  return converter.ToUtf8(bytes);
}

// UTF-8 as it is, each byte that starts no well-formed character replaced.
std::string CheckedUtf8(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() + 16);
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = Utf8CharLength(bytes.substr(i));
    if (length == 0) {
      out += kReplacementChar;
      ++i;
    } else {
      out.append(bytes.substr(i, length));
      i += length;
    }
  }
  return out;
}

bool HasEightBit(std::string_view bytes) {
  return std::any_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

const CharsetRule* FindRule(const std::string& cleanName) {
  const auto rule = std::find_if(kRules.begin(), kRules.end(),
                                 [&](const CharsetRule& r) { return r.mimeName == cleanName; });
  return rule == kRules.end() ? nullptr : &*rule;
}

}  // namespace

std::string DecodeUnlabelledText(std::string_view bytes) {
  const bool eightBit = HasEightBit(bytes);
  const bool escapes = bytes.find('\x1b') != std::string_view::npos;
  if (!eightBit && !escapes) return std::string(bytes);
  const int code = DetectCode(bytes);
  if (code == jcJis || code == jcJisOld || !eightBit) return WindowsJisToUtf8(bytes);
  // Most UTF-8 Japanese reads as Shift_JIS to the byte detection, while
  // Shift_JIS and EUC-JP text is hardly ever valid UTF-8: UTF-8 goes first.
  if (IsValidUtf8(bytes)) return std::string(bytes);
  if (code == jcEuc) return IconvToUtf8("EUC-JP-MS", bytes);
  return Cp932ToUtf8(bytes);
}


bool DecodesAsciiAsItself(std::string_view charset) {
  const std::string name = CleanName(charset);
  if (FindRule(name)) return true;
  for (std::string_view prefix : {"iso-8859-", "windows-", "cp", "koi8", "ibm", "tis-620"})
    if (name.compare(0, prefix.size(), prefix) == 0) return true;
  return false;
}

std::string DecodeText(std::string_view bytes, std::string_view charset) {
  const std::string name = CleanName(charset);
  const CharsetRule* rule = FindRule(name);
  if (rule) {
    switch (rule->decoder) {
      case Decoder::Unlabelled: return DecodeUnlabelledText(bytes);
      case Decoder::WindowsJis: return WindowsJisToUtf8(bytes);
      case Decoder::Utf8: return CheckedUtf8(bytes);
      case Decoder::Iconv:
        // The supersets named in the rules all keep ASCII as it is.
        if (!HasEightBit(bytes)) return std::string(bytes);
        return IconvToUtf8(rule->iconvName, bytes);
    }
  }
  if (!IsPlainCharsetName(name)) return DecodeUnlabelledText(bytes);
  CharsetConverter converter(UpperCase(name).c_str());
  if (!converter.IsOpen()) return DecodeUnlabelledText(bytes);
  return converter.ToUtf8(bytes);
}

}  // namespace pelnor
