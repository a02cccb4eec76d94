#include "core/text/japanese_code.h"

namespace pelnor {
namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr std::size_t kBinaryWindow = 512;

bool In(unsigned char c, unsigned char lo, unsigned char hi) {
  return c >= lo && c <= hi;
}

bool IsBinaryByte(unsigned char c) { return c < 0x08 || c == 0xFF; }

// Walks the text with 1-based positions; a position past the end reads as 0,
// which matches nothing, so lookahead never leaves the text.
class CodeScanner {
 public:
  explicit CodeScanner(std::string_view text) : text_(text) {}

  int Scan() {
    if (HasBinaryPrefix()) return jcBinary;
    while ((code_ == jcAscii || code_ == jcEucOrSjis) && pos_ < Size()) {
      Classify(At(pos_));
      ++pos_;
    }
    return code_;
  }

 private:
  std::size_t Size() const { return text_.size(); }

  unsigned char At(std::size_t p) const {
    return p >= 1 && p <= Size() ? static_cast<unsigned char>(text_[p - 1]) : 0;
  }

  unsigned char Next() { return At(++pos_); }

  // The last byte is left out here, as in the main scan.
  bool HasBinaryPrefix() const {
    for (std::size_t p = 1; p <= kBinaryWindow && p < Size(); ++p) {
      if (IsBinaryByte(At(p))) return true;
    }
    return false;
  }

  void Classify(unsigned char c) {
    if (c == kEsc) {
      Escape();
    } else if (IsBinaryByte(c)) {
      code_ = jcBinary;
    } else if (c <= 0x7F || c == 0x80 || c == 0xA0) {
      // nothing to learn
    } else if (c == 0x8E) {
      AfterSingleShift(Next());
    } else if (c <= 0x9F) {
      code_ = jcSjis;
    } else if (In(c, 0xA1, 0xDF)) {
      AfterKanaOrEucLead(Next());
    } else if (In(c, 0xF0, 0xFE)) {
      code_ = jcEuc;
    } else {  // 0xE0-0xEF
      AfterHighLead(Next());
    }
  }

  void Escape() {
    if (Next() != '$') return;
    const unsigned char final = Next();
    if (final == 'B') code_ = jcJis;
    if (final == '@') code_ = jcJisOld;
  }

  // 0x8E: EUC-JP half-width katakana prefix or a Shift_JIS lead byte.
  void AfterSingleShift(unsigned char d) {
    if (In(d, 0x40, 0x7E) || In(d, 0x80, 0xA0) || In(d, 0xE0, 0xFC)) {
      code_ = jcSjis;
    } else if (In(d, 0xA1, 0xDF)) {
      code_ = jcEucOrSjis;
    }
  }

  // 0xA1-0xDF: Shift_JIS half-width katakana or an EUC-JP lead byte.
  void AfterKanaOrEucLead(unsigned char d) {
    if (In(d, 0xF0, 0xFE)) {
      code_ = jcEuc;
    } else if (In(d, 0xA1, 0xDF)) {
      code_ = jcEucOrSjis;
    } else if (In(d, 0xE0, 0xEF)) {
      code_ = jcEucOrSjis;
      ScanHighRun();
    } else if (d <= 0x9F) {
      code_ = jcSjis;
    }
  }

  // Looks further over bytes of 0x40 and above for one that only one of the
  // two codes allows. The byte that stops the run is classified normally.
  void ScanHighRun() {
    while (code_ == jcEucOrSjis && pos_ < Size() && At(pos_ + 1) >= 0x40) {
      const unsigned char b = Next();
      if (In(b, 0x81, 0x8D) || In(b, 0x8F, 0x9C)) {
        code_ = jcSjis;
      } else if (In(b, 0xFD, 0xFE)) {
        code_ = jcEuc;
      }
    }
  }

  // 0xE0-0xEF: a Shift_JIS kanji lead byte or an EUC-JP lead byte.
  void AfterHighLead(unsigned char d) {
    if (In(d, 0x40, 0x7E) || In(d, 0x80, 0xA0)) {
      code_ = jcSjis;
    } else if (In(d, 0xFD, 0xFE)) {
      code_ = jcEuc;
    } else if (In(d, 0xA1, 0xFC)) {
      code_ = jcEucOrSjis;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 1;
  int code_ = jcAscii;
};

}  // namespace

int DetectCode(std::string_view text) { return CodeScanner(text).Scan(); }

}  // namespace pelnor
