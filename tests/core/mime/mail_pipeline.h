#pragma once

// Decodes a whole mail the way the POP3 client's retrieve step does: the
// lines up to the first empty one become Headers, then ParseHeader,
// DecodeBody over every line, and the finishing step. Shared by the corpus
// test, the fuzzer and the benchmark.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/mime/mail_message.h"
#include "core/mime/mail_parser.h"
#include "core/text/text_util.h"

namespace pelnor::testing {

inline std::unique_ptr<MailMessage> DecodeMail(MailParser& parser,
                                           std::vector<std::string> lines) {
  auto msg = std::make_unique<MailMessage>();
  for (const std::string& line : lines) {
    if (line.empty()) break;
    msg->Headers.push_back(line);
  }
  MailParser::ParseHeader(*msg);
  parser.DecodeBody(*msg, lines);
  MailParser::Finish(*msg);
  return msg;
}

inline std::unique_ptr<MailMessage> DecodeMail(MailParser& parser, std::string_view raw) {
  return DecodeMail(parser, SplitLines(raw));
}

}  // namespace pelnor::testing
