// The finishing step after body decoding: everything the user will see ends
// up in Shift_JIS.

#include "core/mime/mail_parser.h"
#include "core/text/japanese_code.h"
#include "core/text/text_util.h"

namespace pelnor {

void MailParser::Finish(MailMessage& msg) {
  // Only ISO-2022-JP with ESC "$B" is converted; EUC-JP, the old ESC "$@"
  // form and binary bodies are left as they came.
  const std::string text = JoinLines(msg.Text);
  if (DetectCode(text) == jcJis) msg.Text = SplitLines(ConvertCode(text, jcSjis));

  if (DetectCode(msg.Subject) != jcAscii) msg.Subject = DecodeHeaderText(msg.Subject);
  if (DetectCode(msg.From) != jcAscii) msg.From = ConvertAddress(msg.From);
  if (DetectCode(msg.ReplyTo) != jcAscii) msg.ReplyTo = ConvertAddress(msg.ReplyTo);

  for (int i = 0; i < msg.AttachedFiles.Count(); ++i) {
    AttachedFile& file = msg.AttachedFiles.Items(i);
    if (DetectCode(file.FileName) != jcAscii) file.FileName = DecodeHeaderText(file.FileName);
  }
}

}  // namespace pelnor
