#include "core/text/japanese_code.h"

#include "core/text/japanese_code_escape.h"

namespace pelnor {
namespace {

using namespace jis;

constexpr unsigned char kSingleShift = 0x8E;

bool IsHalfWidthKana(unsigned char c) { return c >= 0xA1 && c <= 0xDF; }

// Writes JIS text, inserting the mode switches. No switch back is written
// at the end.
class JisWriter {
 public:
  explicit JisWriter(std::size_t expected) { out_.reserve(expected); }

  void Single(char c) {
    if (mode_ == JisMode::Double) {
      out_.append(kLeaveTwoByte);
      mode_ = JisMode::Single;
    }
    out_.push_back(c);
  }

  void Pair(BytePair pair) {
    if (mode_ == JisMode::Single) {
      out_.append(kEnterTwoByte);
      mode_ = JisMode::Double;
    }
    out_.push_back(static_cast<char>(pair.first));
    out_.push_back(static_cast<char>(pair.second));
  }

  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
  JisMode mode_ = JisMode::Single;
};

unsigned char ByteAt(std::string_view text, std::size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

std::size_t ExpectedJisSize(std::string_view text) {
  return text.size() + text.size() / 8 + 16;
}

}  // namespace

std::string SjisToJis(std::string_view text) {
  JisWriter writer(ExpectedJisSize(text));
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = ByteAt(text, i);
    if (c < 0x80) {
      writer.Single(static_cast<char>(c));
      ++i;
    } else if (IsHalfWidthKana(c)) {
      // The JIS mode switch comes before the kana, as for any byte >= 0x80.
      writer.Pair(HankakuToJis(text, i, hkSjis));
    } else {
      writer.Pair(SjisPairToJis(c, ByteAt(text, i + 1)));
      i += 2;
    }
  }
  return writer.Take();
}

std::string EucToJis(std::string_view text) {
  JisWriter writer(ExpectedJisSize(text));
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = ByteAt(text, i);
    if (c < 0x80) {
      writer.Single(static_cast<char>(c));
      ++i;
    } else if (c == kSingleShift && IsHalfWidthKana(ByteAt(text, i + 1))) {
      writer.Pair(HankakuToJis(text, i, hkEuc));
    } else {
      writer.Pair({static_cast<unsigned char>(c & 0x7F),
                   static_cast<unsigned char>(ByteAt(text, i + 1) & 0x7F)});
      i += 2;
    }
  }
  return writer.Take();
}

}  // namespace pelnor
