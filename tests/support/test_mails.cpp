#include "test_mails.h"

#include <iconv.h>

#include <stdexcept>

namespace pelnor::test {

namespace {

bool IsAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::string ToJis(std::string_view utf8) {
  iconv_t cd = ::iconv_open("ISO-2022-JP", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv: no ISO-2022-JP");
  std::string out(utf8.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* dst = out.data();
  std::size_t outLeft = out.size();
  const bool ok = ::iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1) &&
                  ::iconv(cd, nullptr, nullptr, &dst, &outLeft) != static_cast<std::size_t>(-1);
  ::iconv_close(cd);
  if (!ok) throw std::runtime_error("iconv: cannot convert to ISO-2022-JP");
  out.resize(out.size() - outLeft);
  return out;
}

std::string Base64(std::string_view bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(v >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kAlphabet[v & 63] : '=';
  }
  return out;
}

std::string JisWord(std::string_view utf8) {
  return "=?ISO-2022-JP?B?" + Base64(ToJis(utf8)) + "?=";
}

std::string JapaneseMail(std::string_view fromName, std::string_view fromAddress,
                         std::string_view subject, const std::vector<std::string>& bodyUtf8) {
  const std::string name = IsAscii(fromName) ? std::string(fromName) : JisWord(fromName);
  std::string mail = "From: " + name + " <" + std::string(fromAddress) + ">\r\n" +
                     "To: taro@example.jp\r\n" +
                     "Subject: " + (IsAscii(subject) ? std::string(subject) : JisWord(subject)) +
                     "\r\n" + "Date: Tue, 8 Dec 2026 09:00:00 +0900\r\n" +
                     "Message-ID: <" + Base64(subject).substr(0, 12) + "@example.jp>\r\n" +
                     "MIME-Version: 1.0\r\n" +
                     "Content-Type: text/plain; charset=ISO-2022-JP\r\n" +
                     "Content-Transfer-Encoding: 7bit\r\n\r\n";
  for (const std::string& line : bodyUtf8) mail += ToJis(line) + "\r\n";
  return mail;
}

std::string MailWithAttachment(std::string_view subject, std::string_view textUtf8,
                               std::string_view fileNameUtf8, std::string_view data) {
  const std::string boundary = "----=_pelnor_boundary";
  std::string mail = "From: hanako@example.jp\r\nTo: taro@example.jp\r\n"
                     "Subject: " + JisWord(subject) + "\r\n" +
                     "Message-ID: <attach@example.jp>\r\nMIME-Version: 1.0\r\n" +
                     "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n" +
                     "--" + boundary + "\r\n" +
                     "Content-Type: text/plain; charset=ISO-2022-JP\r\n" +
                     "Content-Transfer-Encoding: 7bit\r\n\r\n" + ToJis(textUtf8) + "\r\n" +
                     "--" + boundary + "\r\n" +
                     "Content-Type: application/octet-stream; name=\"" + JisWord(fileNameUtf8) +
                     "\"\r\n" + "Content-Transfer-Encoding: base64\r\n" +
                     "Content-Disposition: attachment; filename=\"" + JisWord(fileNameUtf8) +
                     "\"\r\n\r\n";
  const std::string encoded = Base64(data);
  for (std::size_t i = 0; i < encoded.size(); i += 76) mail += encoded.substr(i, 76) + "\r\n";
  mail += "--" + boundary + "--\r\n";
  return mail;
}

}  // namespace pelnor::test
