// Header parsing: fills a message's header properties from its raw lines.

#include <string_view>

#include "core/mime/mail_parser.h"
#include "core/mime/address_util.h"
#include "core/mime/encoded_words.h"
#include "core/mime/header_fields.h"
#include "core/text/text_decode.h"
#include "core/text/text_util.h"

namespace pelnor {
namespace {

// Sets `field` to `convert` of the value of header `key`; a missing header
// leaves `field` as it is.
template <typename Convert>
void TakeField(const std::vector<std::string>& headers, std::string_view key,
               std::string& field, Convert convert) {
  if (const auto line = FindHeader(key, headers)) field = convert(GetParam(key, *line));
}

std::string Same(const std::string& value) { return value; }

// The value of header `key` upper-cased, or `def` without the header.
std::string UpperValue(const std::vector<std::string>& headers, std::string_view key,
                       const char* def) {
  const auto line = FindHeader(key, headers);
  return line ? UpperCase(GetParam(key, *line)) : def;
}

}  // namespace

void MailParser::ParseHeader(MailMessage& msg) {
  const auto& h = msg.Headers;
  // An envelope line ("From sender date") is the sender when there is no
  // From: field.
  if (!h.empty()) msg.From = h[0].size() > 5 ? h[0].substr(5, 72) : std::string();
  TakeField(h, "FROM:", msg.From, DecodeWords);
  TakeField(h, "SENDER:", msg.Sender, FormatAddressList);
  TakeField(h, "MESSAGE-ID:", msg.MessageId, Same);
  TakeField(h, "IN-REPLY-TO:", msg.InReplyTo, Same);
  TakeField(h, "RETURN-PATH:", msg.ReturnPath, Same);
  TakeField(h, "REPLY-TO:", msg.ReplyTo, DecodeWords);
  TakeField(h, "TO:", msg.SendTo, FormatToList);
  TakeField(h, "CC:", msg.CC, FormatAddressList);
  TakeField(h, "DATE:", msg.Date, Same);
  TakeField(h, "SUBJECT:", msg.Subject, DecodeWords);
  msg.ContentType = UpperValue(h, "CONTENT-TYPE:", "TEXT/PLAIN");
  msg.ContentTransferEncoding = UpperValue(h, "CONTENT-TRANSFER-ENCODING:", "7BIT");
}

std::string MailParser::FormatToList(const std::string& text) {
  std::string s = RemoveChar(text, '"');
  if (s.find(',') == std::string::npos) s = ConvertAddress(s);
  if (s.find(',') != std::string::npos) s = ConvertAddressList(s);
  return s;
}

std::string MailParser::ConvertAddressList(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  std::size_t comma;
  while ((comma = text.find(',', start)) != std::string::npos) {
    out += ConvertAddress(TrimRight(std::string_view(text).substr(start, comma - start)));
    out += ',';
    start = comma + 1;
  }
  out += ConvertAddress(text.substr(start));
  return out;
}

std::string MailParser::ConvertAddress(const std::string& text) {
  const std::size_t lt = text.find('<');
  const bool hasName = lt != std::string::npos && lt > 0;
  const std::string name = hasName ? DecodeWords(text.substr(0, lt)) : std::string();
  const std::string rest = hasName ? text.substr(lt) : text;
  return TrimRight(name) + DecodeUnlabelledText(rest);
}

std::string MailParser::JoinNameAndAddress(const std::string& text) {
  const std::size_t lt = text.find('<');
  if (lt == std::string::npos || lt == 0) return text;
  return TrimRight(std::string_view(text).substr(0, lt)) + text.substr(lt);
}

}  // namespace pelnor
