// The finishing step after body decoding.

#include "core/mime/mail_parser.h"

#include <algorithm>

namespace pelnor {
namespace {

bool HasEightBit(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

void MailParser::Finish(MailMessage& msg) {
  if (HasEightBit(msg.From)) msg.From = JoinNameAndAddress(msg.From);
  if (HasEightBit(msg.ReplyTo)) msg.ReplyTo = JoinNameAndAddress(msg.ReplyTo);
}

}  // namespace pelnor
