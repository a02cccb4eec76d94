#pragma once

// Builders of test mails the way Japanese mailers send them: ISO-2022-JP
// text and encoded words, made with iconv so the decoder under test is not
// also the one that wrote its input.

#include <string>
#include <string_view>
#include <vector>

namespace pelnor::test {

// UTF-8 to ISO-2022-JP through iconv.
std::string ToJis(std::string_view utf8);
std::string Base64(std::string_view bytes);
// "=?ISO-2022-JP?B?...?=" for a UTF-8 text.
std::string JisWord(std::string_view utf8);

// A text/plain ISO-2022-JP mail, CR LF line ends; `from` and `subject` are
// UTF-8 and become encoded words when they are not ASCII.
std::string JapaneseMail(std::string_view fromName, std::string_view fromAddress,
                         std::string_view subject, const std::vector<std::string>& bodyUtf8);

// A multipart mail with a Japanese text part and one base64 attachment.
std::string MailWithAttachment(std::string_view subject, std::string_view textUtf8,
                               std::string_view fileNameUtf8, std::string_view data);

}  // namespace pelnor::test
