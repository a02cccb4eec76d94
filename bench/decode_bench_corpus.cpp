#include "decode_bench_corpus.h"

#include <algorithm>

namespace pelnor::bench {
namespace {

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const std::string& data) {
  std::string out;
  out.reserve(data.size() / 3 * 4 + data.size() / 57 + 8);
  std::size_t col = 0;
  auto put = [&](char c) {
    out += c;
    if (++col == 76) {
      out += '\n';
      col = 0;
    }
  };
  std::size_t i = 0;
  for (; i + 3 <= data.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(data[i]) << 16) |
                       (static_cast<unsigned char>(data[i + 1]) << 8) |
                       static_cast<unsigned char>(data[i + 2]);
    put(kBase64[v >> 18]);
    put(kBase64[(v >> 12) & 63]);
    put(kBase64[(v >> 6) & 63]);
    put(kBase64[v & 63]);
  }
  if (i < data.size()) {
    unsigned v = static_cast<unsigned char>(data[i]) << 16;
    if (i + 1 < data.size()) v |= static_cast<unsigned char>(data[i + 1]) << 8;
    put(kBase64[v >> 18]);
    put(kBase64[(v >> 12) & 63]);
    put(i + 1 < data.size() ? kBase64[(v >> 6) & 63] : '=');
    put('=');
  }
  if (col != 0) out += '\n';
  return out;
}

std::string UULines(const std::string& data) {
  auto ch = [](unsigned v) { return v == 0 ? '`' : static_cast<char>(v + 0x20); };
  std::string out;
  for (std::size_t p = 0; p < data.size(); p += 45) {
    const std::size_t n = std::min<std::size_t>(45, data.size() - p);
    out += ch(static_cast<unsigned>(n));
    for (std::size_t i = 0; i < n; i += 3) {
      unsigned v = 0;
      for (std::size_t k = 0; k < 3; ++k)
        v = (v << 8) | (i + k < n ? static_cast<unsigned char>(data[p + i + k]) : 0u);
      for (int s = 18; s >= 0; s -= 6) out += ch((v >> s) & 63);
    }
    out += '\n';
  }
  out += "`\n";
  return out;
}

// Base64 on one line, for encoded words.
std::string Base64Word(const std::string& data) {
  std::string b = Base64(data);
  b.erase(std::remove(b.begin(), b.end(), '\n'), b.end());
  return b;
}

// Quoted-printable of one line with soft breaks before column 76.
std::string QuotedPrintableLine(const std::string& line) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  std::size_t col = 0;
  for (unsigned char c : line) {
    std::string piece;
    if (c == '=' || c < 0x20 || c > 0x7E) {
      piece = {'=', kHex[c >> 4], kHex[c & 15]};
    } else {
      piece = std::string(1, static_cast<char>(c));
    }
    if (col + piece.size() > 75) {
      out += "=\n";
      col = 0;
    }
    out += piece;
    col += piece.size();
  }
  out += '\n';
  return out;
}

}  // namespace

std::string WithCrLf(const std::string& lf) {
  std::string out;
  out.reserve(lf.size() + lf.size() / 40);
  for (char c : lf) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string CorpusMaker::Bytes(std::size_t size) {
  std::string out(size, '\0');
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    const std::uint64_t v = rng_();
    for (int k = 0; k < 8; ++k) out[i + k] = static_cast<char>(v >> (8 * k));
  }
  for (; i < size; ++i) out[i] = static_cast<char>(rng_());
  return out;
}

// A line of Japanese text: two-byte runs (hiragana and level-1 kanji)
// between ASCII words, in ISO-2022-JP.
std::string CorpusMaker::JisLine() {
  std::string line;
  const int runs = Roll(2, 5);
  for (int r = 0; r < runs; ++r) {
    line += "\x1B$B";
    const int chars = Roll(3, 12);
    for (int i = 0; i < chars; ++i) {
      if (Roll(0, 2) == 0) {
        line += static_cast<char>(Roll(0x30, 0x4F));
      } else {
        line += '\x24';
      }
      line += static_cast<char>(Roll(0x21, 0x73));
    }
    line += "\x1B(B";
    if (r + 1 < runs) line += Roll(0, 1) ? " 2026 " : " OK ";
  }
  return line;
}

std::vector<std::string> CorpusMaker::JisLines(std::size_t bytes) {
  std::vector<std::string> lines;
  std::size_t total = 0;
  while (total < bytes) {
    lines.push_back(Roll(0, 9) == 0 ? std::string() : JisLine());
    total += lines.back().size() + 1;
  }
  return lines;
}

std::string CorpusMaker::Boundary() {
  return "----=_Part_" + std::to_string(++serial_) + "_" + std::to_string(rng_() % 1000000);
}

std::string CorpusMaker::Headers(const std::string& subjectJis, const std::string& contentType) {
  const int n = ++serial_;
  return "Return-Path: <sender" + std::to_string(n) + "@example.jp>\n"
         "Received: from mx.example.jp (mx.example.jp [192.0.2.1]) by pop.example.jp\n"
         "Message-ID: <" + std::to_string(n) + ".bench@example.jp>\n"
         "Date: Tue, 08 Dec 2026 09:15:00 +0900\n"
         "From: =?ISO-2022-JP?B?" + Base64Word("\x1B$B;3ED\x1B(B") +
         "?= <sender@example.jp>\n"
         "To: receiver@example.co.jp\n"
         "Subject: =?ISO-2022-JP?B?" + Base64Word(subjectJis) + "?=\n"
         "MIME-Version: 1.0\n"
         "Content-Type: " + contentType + "\n";
}

BenchMail CorpusMaker::JisPlain(std::size_t bodyBytes) {
  BenchMail mail{"iso-2022-jp text", {}, {}};
  mail.raw = Headers(JisLine(), "text/plain; charset=ISO-2022-JP") +
             "Content-Transfer-Encoding: 7bit\n\n";
  for (const auto& l : JisLines(bodyBytes)) mail.raw += l + "\n";
  return mail;
}

BenchMail CorpusMaker::QuotedPrintable(std::size_t bodyBytes) {
  BenchMail mail{"quoted-printable", {}, {}};
  mail.raw = Headers(JisLine(), "text/plain; charset=ISO-2022-JP") +
             "Content-Transfer-Encoding: quoted-printable\n\n";
  std::size_t total = 0;
  while (total < bodyBytes) {
    std::string line = JisLine() + " price=100 tax_rate 10%";
    const std::string enc = QuotedPrintableLine(line);
    mail.raw += enc;
    total += enc.size();
  }
  return mail;
}

BenchMail CorpusMaker::MixedBase64(const std::vector<std::size_t>& sizes) {
  BenchMail mail{"multipart/mixed base64", {}, {}};
  const std::string b = Boundary();
  mail.raw = Headers(JisLine(), "multipart/mixed;\n boundary=\"" + b + "\"") +
             "\nThis is a multi-part message in MIME format.\n\n--" + b +
             "\nContent-Type: text/plain; charset=ISO-2022-JP\n"
             "Content-Transfer-Encoding: 7bit\n\n";
  for (const auto& l : JisLines(2000)) mail.raw += l + "\n";
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    std::string data = Bytes(sizes[i]);
    mail.raw += "\n--" + b + "\nContent-Type: application/octet-stream;\n name=\"file" +
                std::to_string(i) + ".bin\"\nContent-Transfer-Encoding: base64\n"
                "Content-Disposition: attachment;\n filename=\"file" + std::to_string(i) +
                ".bin\"\n\n" + Base64(data);
    mail.attachments.push_back({std::move(data), true, false});
  }
  mail.raw += "\n--" + b + "--\n";
  return mail;
}

BenchMail CorpusMaker::AlternativeHtml(std::size_t bodyBytes) {
  BenchMail mail{"multipart/alternative html", {}, {}};
  const std::string b = Boundary();
  mail.raw = Headers(JisLine(), "multipart/alternative; boundary=\"" + b + "\"") + "\n--" + b +
             "\nContent-Type: text/plain; charset=ISO-2022-JP\n"
             "Content-Transfer-Encoding: 7bit\n\n";
  const auto lines = JisLines(bodyBytes);
  for (const auto& l : lines) mail.raw += l + "\n";
  mail.raw += "--" + b + "\nContent-Type: text/html; charset=ISO-2022-JP\n"
              "Content-Transfer-Encoding: quoted-printable\n\n";
  std::string html;
  auto addHtml = [&](const std::string& l) {
    mail.raw += QuotedPrintableLine(l);
    html += l + "\r\n";
  };
  addHtml("<html><body style=\"font-family: sans-serif\">");
  for (const auto& l : lines) addHtml("<p>" + l + "</p>");
  addHtml("</body></html>");
  mail.raw += "--" + b + "--\n";
  mail.attachments.push_back({std::move(html), true, true});
  return mail;
}

BenchMail CorpusMaker::InlineUU(std::size_t size) {
  BenchMail mail{"inline uuencode", {}, {}};
  mail.raw = Headers(JisLine(), "text/plain; charset=ISO-2022-JP") + "\n";
  for (const auto& l : JisLines(1500)) mail.raw += l + "\n";
  std::string data = Bytes(size);
  mail.raw += "\nbegin 644 archive.lzh\n" + UULines(data) + "end\n\n";
  for (const auto& l : JisLines(500)) mail.raw += l + "\n";
  mail.attachments.push_back({std::move(data), false, false});
  return mail;
}

BenchMail CorpusMaker::PartUU(std::size_t size) {
  BenchMail mail{"x-uuencode part", {}, {}};
  const std::string b = Boundary();
  mail.raw = Headers(JisLine(), "multipart/mixed; boundary=\"" + b + "\"") + "\n--" + b +
             "\nContent-Type: text/plain; charset=ISO-2022-JP\n\n";
  for (const auto& l : JisLines(1500)) mail.raw += l + "\n";
  std::string data = Bytes(size);
  mail.raw += "--" + b + "\nContent-Type: application/octet-stream; name=\"data.bin\"\n"
              "Content-Transfer-Encoding: x-uuencode\n\nbegin 644 data.bin\n" +
              UULines(data) + "end\n--" + b + "--\n";
  mail.attachments.push_back({std::move(data), true, false});
  return mail;
}

BenchMail CorpusMaker::ManyUUBlocks(std::size_t bytes) {
  BenchMail mail{"many uuencoded blocks", {}, {}};
  mail.raw = Headers(JisLine(), "text/plain; charset=ISO-2022-JP") + "\n";
  for (int n = 0; mail.raw.size() < bytes; ++n) {
    for (const auto& l : JisLines(300)) mail.raw += l + "\n";
    std::string data = Bytes(2000);
    mail.raw += "begin 644 piece" + std::to_string(n) + ".bin\n" + UULines(data) + "end\n";
    mail.attachments.push_back({std::move(data), false, false});
  }
  return mail;
}

BenchMail CorpusMaker::ManyParts(std::size_t bytes) {
  BenchMail mail{"many parts", {}, {}};
  const std::string b = Boundary();
  mail.raw = Headers(JisLine(), "multipart/mixed; boundary=\"" + b + "\"") + "\n";
  for (int n = 0; mail.raw.size() < bytes; ++n) {
    mail.raw += "--" + b + "\nContent-Type: text/plain; charset=ISO-2022-JP\n\n";
    for (const auto& l : JisLines(300)) mail.raw += l + "\n";
    std::string data = Bytes(2000);
    mail.raw += "--" + b + "\nContent-Type: application/octet-stream; name=\"p" +
                std::to_string(n) + ".bin\"\nContent-Transfer-Encoding: base64\n\n" +
                Base64(data);
    mail.attachments.push_back({std::move(data), true, false});
  }
  mail.raw += "--" + b + "--\n";
  return mail;
}

std::vector<BenchMail> CorpusMaker::MakeRound() {
  std::vector<BenchMail> mails;
  for (int i = 0; i < 20; ++i) mails.push_back(JisPlain(static_cast<std::size_t>(Roll(4000, 40000))));
  for (int i = 0; i < 10; ++i)
    mails.push_back(QuotedPrintable(static_cast<std::size_t>(Roll(4000, 40000))));
  mails.push_back(MixedBase64({10 << 10, 40 << 10}));
  mails.push_back(MixedBase64({100 << 10}));
  mails.push_back(MixedBase64({300 << 10, 20 << 10, 10 << 10}));
  mails.push_back(MixedBase64({1 << 20}));
  mails.push_back(MixedBase64({5 << 20}));
  for (int i = 0; i < 8; ++i)
    mails.push_back(AlternativeHtml(static_cast<std::size_t>(Roll(3000, 30000))));
  mails.push_back(InlineUU(200 << 10));
  mails.push_back(InlineUU(30 << 10));
  mails.push_back(PartUU(500 << 10));
  mails.push_back(PartUU(15 << 10));
  return mails;
}

}  // namespace pelnor::bench
