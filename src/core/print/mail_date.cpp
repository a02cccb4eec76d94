#include "core/print/mail_date.h"

#include <array>
#include <cctype>

namespace pelnor {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Index of `word` among `names` by its first three letters, ignoring case;
// -1 when none matches.
template <std::size_t N>
int FindName(std::string_view word, const std::array<std::string_view, N>& names) {
  if (word.size() < 3) return -1;
  for (std::size_t i = 0; i < N; ++i) {
    if (Lower(word[0]) == names[i][0] && Lower(word[1]) == names[i][1] &&
        Lower(word[2]) == names[i][2])
      return static_cast<int>(i);
  }
  return -1;
}

constexpr std::array<std::string_view, 7> kDays = {"sun", "mon", "tue", "wed",
                                                   "thu", "fri", "sat"};
constexpr std::array<std::string_view, 12> kMonths = {
    "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};

class DateReader {
 public:
  explicit DateReader(std::string_view text) : text_(text) {}

  std::optional<DateTime> Read() {
    DateTime t;
    SkipBlanks();
    if (!SkipDayName()) return std::nullopt;
    if (!Number(1, 2, t.Day)) return std::nullopt;
    SkipSeparator();
    int month = FindName(Word(), kMonths);
    if (month < 0) return std::nullopt;
    t.Month = month + 1;
    SkipSeparator();
    int digits = 0;
    if (!Number(2, 4, t.Year, &digits)) return std::nullopt;
    if (digits == 2) t.Year += t.Year < 50 ? 2000 : 1900;
    if (digits == 3) t.Year += 1900;
    SkipBlanks();
    if (!ReadTime(t)) return std::nullopt;
    // Whatever follows is the zone (numeric or a name): not applied.
    if (!Valid(t)) return std::nullopt;
    if (t.Second == 60) t.Second = 59;  // a leap second
    return t;
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  // White space and (possibly nested) comments.
  void SkipBlanks() {
    while (!AtEnd()) {
      char c = Peek();
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        ++pos_;
      } else if (c == '(') {
        SkipComment();
      } else {
        return;
      }
    }
  }

  void SkipComment() {
    int depth = 0;
    while (!AtEnd()) {
      char c = text_[pos_++];
      if (c == '\\' && !AtEnd()) {
        ++pos_;
      } else if (c == '(') {
        ++depth;
      } else if (c == ')' && --depth == 0) {
        return;
      }
    }
  }

  // Blanks, and one "-" as some mailers write 25-Dec-2004.
  void SkipSeparator() {
    SkipBlanks();
    if (Peek() == '-') {
      ++pos_;
      SkipBlanks();
    }
  }

  std::string_view Word() {
    std::size_t start = pos_;
    while (IsAlpha(Peek())) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  // An optional day name, with or without its comma.
  bool SkipDayName() {
    if (!IsAlpha(Peek())) return true;
    std::string_view word = Word();
    SkipBlanks();
    bool comma = Peek() == ',';
    if (comma) ++pos_;
    SkipBlanks();
    return comma || FindName(word, kDays) >= 0;
  }

  bool Number(int minDigits, int maxDigits, int& value, int* count = nullptr) {
    int n = 0;
    value = 0;
    while (IsDigit(Peek())) {
      if (++n > maxDigits) return false;
      value = value * 10 + (text_[pos_++] - '0');
    }
    if (count) *count = n;
    return n >= minDigits;
  }

  bool Colon() {
    SkipBlanks();
    if (Peek() != ':') return false;
    ++pos_;
    SkipBlanks();
    return true;
  }

  bool ReadTime(DateTime& t) {
    if (!Number(1, 2, t.Hour) || !Colon() || !Number(1, 2, t.Minute)) return false;
    std::size_t before = pos_;
    if (Colon()) return Number(1, 2, t.Second);
    pos_ = before;
    t.Second = 0;
    return true;
  }

  static bool Valid(const DateTime& t) {
    return t.Year >= 1 && t.Day >= 1 && t.Day <= DaysInMonth(t.Year, t.Month) &&
           t.Hour <= 23 && t.Minute <= 59 && t.Second <= 60;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::optional<DateTime> ParseMailDate(std::string_view text) {
  return DateReader(text).Read();
}

}  // namespace pelnor
