#include "core/check/attachment_output.h"

#include <stdexcept>

#include "core/print/japanese_date.h"
#include "core/text/sjis.h"
#include "core/text/text_decode.h"

namespace pelnor {

namespace fs = std::filesystem;

namespace {

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// At most `bytes` bytes of `text`, ending on a character boundary.
std::string CutUtf8(const std::string& text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  while (bytes > 0 && IsUtf8Continuation(text[bytes])) --bytes;
  return text.substr(0, bytes);
}

// Where the extension begins: at the last ".", unless that leads the name.
std::size_t ExtensionStart(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name.size() : dot;
}

}  // namespace

std::string SafeFileName(std::string utf8Name) {
  // A name that is not UTF-8 would be unreadable in every file manager.
  utf8Name = DecodeText(utf8Name, "UTF-8");
  for (char& c : utf8Name) {
    if (c == '/' || c == '\0') c = '_';
  }
  if (utf8Name.empty() || utf8Name == "." || utf8Name == "..") utf8Name = "_" + utf8Name;
  return utf8Name;
}

std::string NumberedFileName(const std::string& utf8Name, int number) {
  const std::string suffix = number > 1 ? " (" + std::to_string(number) + ")" : "";
  std::size_t split = ExtensionStart(utf8Name);
  // An extension that leaves no room for a character before it is no
  // extension to keep.
  constexpr std::size_t kLongestCharacter = 4;
  if (utf8Name.size() - split + suffix.size() + kLongestCharacter > kMaxFileNameBytes)
    split = utf8Name.size();
  const std::string extension = utf8Name.substr(split);
  const std::size_t room = kMaxFileNameBytes - suffix.size() - extension.size();
  return CutUtf8(utf8Name.substr(0, split), room) + suffix + extension;
}

std::string PrintedFileName(const fs::path& written) { return written.filename().string(); }

AttachmentSaver::AttachmentSaver(fs::path programDir) : programDir_(std::move(programDir)) {}

fs::path AttachmentSaver::TargetDir(const Account& account, const std::string& date,
                                     const DateTime& retrievedAt) const {
  // The date digits are glued to the directory text as they are, so an
  // AttachDir without a trailing separator gives a sibling such as
  // mail0412251529, as users of the setting expect.
  std::string dir = account.AttachDir.empty() ? AttachmentFolderPath(programDir_.string())
                                              : SjisToUtf8(account.AttachDir);
  if (account.DateSubDir) dir += FormatDateDirName(date, retrievedAt);
  return fs::path(dir);
}

// By the directory itself, so that "dir/", "dir//" and a link to it count.
bool AttachmentSaver::IsProgramDir(const fs::path& dir) const {
  std::error_code missing;
  return fs::equivalent(dir, programDir_, missing);
}

fs::path AttachmentSaver::SaveAttachment(const AttachedFile& file,
                                          const Account& account,
                                          const std::string& date,
                                          const DateTime& retrievedAt) const {
  if (!account.SaveAttachments) return {};
  const fs::path dir = TargetDir(account, date, retrievedAt);
  fs::create_directories(dir);
  const bool programDir = IsProgramDir(dir);
  std::string name = SafeFileName(file.FileName);
  if (programDir && IsProgramFileName(name)) name += '_';
  // Found by trying: a name tested first could be taken before the write.
  for (int number = 1;; ++number) {
    const std::string candidate = NumberedFileName(name, number);
    if (programDir && IsProgramFileName(candidate)) continue;
    const fs::path path = dir / candidate;
    if (file.SaveToNewFile(path)) return path;
  }
}

}  // namespace pelnor
