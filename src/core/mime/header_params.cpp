#include "core/mime/header_params.h"

#include <map>
#include <vector>

#include "core/text/text_decode.h"
#include "core/text/text_util.h"

namespace pelnor {
namespace {

struct Parameter {
  std::string attribute;  // lower case, as written: "name", "name*", "name*0*"
  std::string value;
};

// Walks a header line byte by byte, telling syntax from the two-byte mode
// of raw ISO-2022-JP text.
class ParamScanner {
 public:
  explicit ParamScanner(std::string_view line) : line_(line) {}

  bool AtEnd() const { return pos_ >= line_.size(); }
  // True when the current byte is `c` as syntax, not half of a kanji.
  bool At(char c) const { return !AtEnd() && !twoByte_ && line_[pos_] == c; }
  char Take() {
    const char c = line_[pos_++];
    if (c == '\x1b' && pos_ < line_.size()) {
      if (line_[pos_] == '$') twoByte_ = true;
      if (line_[pos_] == '(') twoByte_ = false;
    }
    return c;
  }
  void SkipBlanks() {
    while (!AtEnd() && !twoByte_ && static_cast<unsigned char>(line_[pos_]) <= 32) ++pos_;
  }

 private:
  std::string_view line_;
  std::size_t pos_ = 0;
  bool twoByte_ = false;
};

std::string ReadQuoted(ParamScanner& in) {
  std::string value;
  in.Take();  // the opening quote
  while (!in.AtEnd() && !in.At('"')) {
    if (in.At('\\')) {
      in.Take();
      if (in.AtEnd()) break;
    }
    value += in.Take();
  }
  if (!in.AtEnd()) in.Take();  // the closing quote
  return value;
}

std::vector<Parameter> ReadParameters(std::string_view line) {
  std::vector<Parameter> params;
  ParamScanner in(line);
  while (!in.AtEnd() && !in.At(';')) in.Take();  // the field name and its main value
  while (!in.AtEnd()) {
    in.Take();  // ";"
    in.SkipBlanks();
    std::string attribute;
    while (!in.AtEnd() && !in.At('=') && !in.At(';')) attribute += in.Take();
    if (!in.At('=')) continue;
    in.Take();
    in.SkipBlanks();
    std::string value;
    if (in.At('"')) {
      value = ReadQuoted(in);
      while (!in.AtEnd() && !in.At(';')) in.Take();
    } else {
      while (!in.AtEnd() && !in.At(';')) value += in.Take();
      value = TrimRight(value);
    }
    params.push_back({LowerCase(TrimRight(attribute)), std::move(value)});
  }
  return params;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int hi = i + 2 < text.size() && text[i] == '%' ? HexDigit(text[i + 1]) : -1;
    const int lo = hi >= 0 ? HexDigit(text[i + 2]) : -1;
    if (lo >= 0) {
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// "charset'language'rest" of an extended value: the charset, and `value`
// left holding the rest. No two quotes: no charset, the value whole.
std::string TakeCharset(std::string& value) {
  const std::size_t first = value.find('\'');
  const std::size_t second = first == std::string::npos ? first : value.find('\'', first + 1);
  if (second == std::string::npos) return {};
  std::string charset = value.substr(0, first);
  value.erase(0, second + 1);
  return charset;
}

// The segments name*0, name*1... (each extended or not), in number order,
// as long as the numbers run on without a gap.
std::optional<std::string> ContinuedValue(const std::vector<Parameter>& params,
                                          const std::string& name) {
  std::map<int, const Parameter*> segments;
  const std::string prefix = name + "*";
  for (const Parameter& p : params) {
    if (p.attribute.compare(0, prefix.size(), prefix) != 0) continue;
    std::string number = p.attribute.substr(prefix.size());
    if (!number.empty() && number.back() == '*') number.pop_back();
    if (number.empty() || number.size() > 3 ||
        number.find_first_not_of("0123456789") != std::string::npos)
      continue;
    segments.emplace(std::stoi(number), &p);
  }
  if (segments.empty() || segments.begin()->first != 0) return std::nullopt;
  std::string charset;
  std::string bytes;
  int expected = 0;
  for (const auto& [number, param] : segments) {
    if (number != expected++) break;
    std::string value = param->value;
    const bool extended = param->attribute.back() == '*';
    if (extended && number == 0) charset = TakeCharset(value);
    bytes += extended ? PercentDecode(value) : value;
  }
  return DecodeText(bytes, charset);
}

}  // namespace

std::optional<std::string> ParameterValue(std::string_view headerLine, std::string_view name) {
  const std::vector<Parameter> params = ReadParameters(headerLine);
  const std::string lowerName = LowerCase(name);
  for (const Parameter& p : params) {
    if (p.attribute != lowerName + "*") continue;
    std::string value = p.value;
    const std::string charset = TakeCharset(value);
    return DecodeText(PercentDecode(value), charset);
  }
  if (auto continued = ContinuedValue(params, lowerName)) return continued;
  for (const Parameter& p : params)
    if (p.attribute == lowerName) return p.value;
  return std::nullopt;
}

}  // namespace pelnor
