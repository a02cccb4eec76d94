#pragma once

// Decodes a whole mail the way the POP3 client's retrieve step does: the
// lines up to the first empty one become Headers, then ParseHeader,
// DecodeBody over every line, and the finishing step. Shared by the corpus
// test, the fuzzer and the benchmark.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mime/VekMsg.h"
#include "mime/VekParser.h"
#include "mime/vek_util.h"

namespace pelnor::testing {

inline std::unique_ptr<TVekMsg> DecodeMail(TVekParser& parser,
                                           std::vector<std::string> lines) {
  auto msg = std::make_unique<TVekMsg>();
  for (const std::string& line : lines) {
    if (line.empty()) break;
    msg->Headers.push_back(line);
  }
  TVekParser::ParseHeader(*msg);
  parser.DecodeBody(*msg, lines);
  TVekParser::Finish(*msg);
  return msg;
}

inline std::unique_ptr<TVekMsg> DecodeMail(TVekParser& parser, std::string_view raw) {
  return DecodeMail(parser, SplitLines(raw));
}

}  // namespace pelnor::testing
