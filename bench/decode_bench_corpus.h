#pragma once

// Generates the mail corpus of the decoding benchmark: ISO-2022-JP plain
// mails, quoted-printable mails, multipart/mixed with base64 attachments
// from 10 KB to 5 MB, multipart/alternative with HTML, inline uuencoded
// blocks and x-uuencode parts. Every mail carries the attachments it was
// made from, so decoders can be checked byte for byte.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace pelnor::bench {

struct ExpectedAttachment {
  std::string bytes;
  bool mimePart = true;  // a MIME part of its own (not uuencode inside text)
  bool html = false;     // the HTML alternative (line ends depend on the decoder)
};

struct BenchMail {
  const char* kind;
  std::string raw;  // LF line ends; see WithCrLf
  std::vector<ExpectedAttachment> attachments;
};

std::string WithCrLf(const std::string& lf);

class CorpusMaker {
 public:
  explicit CorpusMaker(std::uint64_t seed) : rng_(seed) {}

  // One round of every kind of mail (about 11 MB).
  std::vector<BenchMail> MakeRound();

  // Mails of about `bytes` made of many small pieces, for checking that the
  // work grows linearly: a text with a uuencoded block every few lines, and
  // a multipart mail with a text part and a base64 attachment per piece.
  BenchMail ManyUUBlocks(std::size_t bytes);
  BenchMail ManyParts(std::size_t bytes);

 private:
  BenchMail JisPlain(std::size_t bodyBytes);
  BenchMail QuotedPrintable(std::size_t bodyBytes);
  BenchMail MixedBase64(const std::vector<std::size_t>& sizes);
  BenchMail AlternativeHtml(std::size_t bodyBytes);
  BenchMail InlineUU(std::size_t size);
  BenchMail PartUU(std::size_t size);

  int Roll(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  std::string Bytes(std::size_t size);
  std::string JisLine();
  std::vector<std::string> JisLines(std::size_t bytes);
  std::string Headers(const std::string& subjectJis, const std::string& contentType);
  std::string Boundary();

  std::mt19937_64 rng_;
  int serial_ = 0;
};

}  // namespace pelnor::bench
