// Mailbox and address-list helpers for the From, Sender, Cc and To fields.

#include "core/mime/address_util.h"
#include "core/mime/encoded_words.h"
#include "core/text/text_util.h"

namespace pelnor {
namespace {

// Deletes from the first "(" through the next ")", as long as such a pair
// remains. Text before a removed comment never holds another "(".
std::string RemoveComments(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t open = text.find('(', i);
    const std::size_t close =
        open == std::string_view::npos ? open : text.find(')', open + 1);
    if (close == std::string_view::npos) break;
    out.append(text.substr(i, open - i));
    i = close + 1;
  }
  out.append(text.substr(std::min(i, text.size())));
  return out;
}

// Characters strictly between the first `open` and the first `close`; empty
// when `close` comes first.
std::string Between(std::string_view text, std::size_t open, std::size_t close) {
  if (close <= open) return {};
  return std::string(text.substr(open + 1, close - open - 1));
}

// Drops every quoted string together with its quotes; an unpaired quote goes
// alone.
std::string RemoveQuoted(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '"') {
      out += text[i];
      continue;
    }
    const std::size_t close = text.find('"', i + 1);
    if (close != std::string_view::npos) i = close;
  }
  return out;
}

}  // namespace

std::string AddressOf(std::string_view text, bool withBrackets) {
  std::string s = Trim(RemoveComments(text));
  const std::size_t lt = s.find('<');
  const std::size_t gt = s.find('>');
  if (lt != std::string::npos && gt != std::string::npos) s = Between(s, lt, gt);
  return withBrackets ? "<" + s + ">" : s;
}

std::string DisplayNameOf(std::string_view text, bool withQuotes) {
  std::string s(text);
  const std::size_t lt = s.find('<');
  const std::size_t gt = s.find('>');
  if (lt != std::string::npos && gt != std::string::npos && gt > lt) {
    s.erase(lt, gt - lt + 1);
  }
  const std::size_t open = s.find('(');
  const std::size_t close = s.find(')');
  if (open != std::string::npos && close != std::string::npos) {
    s = Between(s, open, close);
  }
  s = Trim(RemoveChar(RemoveChar(s, '"'), '\''));
  return withQuotes ? "\"" + s + "\"" : s;
}

std::string FormatAddressList(std::string_view text) {
  const std::string rest = RemoveQuoted(text);
  std::string out;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = rest.find(',', start);
    const std::string_view item = std::string_view(rest).substr(
        start, comma == std::string::npos ? std::string::npos : comma - start);
    if (start > 0) out += ", ";
    out += DisplayNameOf(DecodeWords(item), true);
    out += ' ';
    out += AddressOf(item, true);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out;
}

}  // namespace pelnor
