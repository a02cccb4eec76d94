// The attachment decoders: base64 and uuencode lines into Data, through a
// temporary file, with start, progress and end events.

#include <limits>

#include "core/mime/mail_parser.h"
#include "core/mime/body_base64.h"
#include "core/mime/body_progress.h"
#include "core/mime/body_spool.h"
#include "core/mime/body_uudecode.h"

namespace pelnor {
namespace {

std::int32_t LineCount(std::size_t count) {
  constexpr std::size_t kMax = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(count < kMax ? count : kMax);
}

// Runs `decode`; the progress is closed and the end event fired however it
// leaves, so a failing temporary file still reports the end of the
// attachment.
template <typename Decode, typename End>
void DecodeThenEnd(DecodeProgress& progress, const End& onEnd, Decode decode) {
  try {
    decode();
  } catch (...) {
    progress.Finish();
    if (onEnd) onEnd();
    throw;
  }
  progress.Finish();
  if (onEnd) onEnd();
}

}  // namespace

void MailParser::DecodeBase64Attachment(AttachedFile& item) {
  DecodeBase64Lines(item, item.Lines.data(), item.Lines.size());
}

void MailParser::DecodeUUAttachment(AttachedFile& item) {
  DecodeUULines(item, item.Lines.data(), item.Lines.size());
}

void MailParser::DecodeBase64Lines(AttachedFile& item, const std::string* lines,
                                   std::size_t count) {
  if (OnDecodeStart) OnDecodeStart(item.FileName, LineCount(count));
  DecodeProgress progress(DecodeProgressStep, count, lastPercent_, OnDecodeProgress);
  DecodeThenEnd(progress, OnDecodeEnd, [&] {
    DecodeSpool spool;
    SpoolWriter writer(spool);
    Base64GroupDecoder decoder;
    for (std::size_t r = 0; r < count; ++r) {
      char* out = writer.Reserve(Base64GroupDecoder::MaxOutput(lines[r].size()));
      std::size_t groups = 0;
      writer.Commit(decoder.DecodeLine(lines[r], out, groups));
      if (groups > 0) {
        progress.Check(r + 1, groups);
        Pump();
      }
    }
    // The values of an unfinished last group are dropped.
    writer.Flush();
    item.Data = spool.ReadAll();
  });
}

void MailParser::DecodeUULines(AttachedFile& item, const std::string* lines,
                               std::size_t count) {
  if (OnDecodeStart) OnDecodeStart(item.FileName, LineCount(count));
  DecodeProgress progress(DecodeProgressStep, count, lastPercent_, OnDecodeProgress);
  DecodeThenEnd(progress, OnDecodeEnd, [&] {
    DecodeSpool spool;
    SpoolWriter writer(spool);
    // Line 0 is the begin line. The end test applies to line 1 as well, so
    // an empty file ("begin", "end") decodes to nothing instead of failing.
    for (std::size_t r = 1; r < count && !IsUUEndLine(lines[r]); ++r) {
      const int written = UUDecodeLine(lines[r], writer.Reserve(kUULineBytes));
      // Data cut off by something else: what came before is what there is.
      if (written < 0) break;
      writer.Commit(static_cast<std::size_t>(written));
      progress.Check(r, 1);
      Pump();
    }
    writer.Flush();
    item.Data = spool.ReadAll();
  });
}

}  // namespace pelnor
