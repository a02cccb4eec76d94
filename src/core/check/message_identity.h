#pragma once

#include <string>

#include "core/mime/mail_message.h"

namespace pelnor {

// The identifier under which a message is kept in the output history: its
// Message-ID when it has one, byte for byte. Without one, "<sha256:" + the
// lowercase hex SHA-256 of the raw header block + ">", where the block is
// each line of `msg.Headers` as received, followed by CR LF. So mails without
// a Message-ID do not all share one identifier, and a mail fetched again
// keeps its own.
std::string MessageIdentity(const MailMessage& msg);

}  // namespace pelnor
