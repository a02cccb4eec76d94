#pragma once

// Saving the attachments of a printed message into the account's
// attachment directory, optionally in a sub-directory named yymmddhhmm
// after the message's Date. A saved attachment never takes the place of an
// existing file, nor of one of the program's own files.

#include <filesystem>
#include <string>

#include "core/print/clock.h"
#include "core/mime/mail_message.h"
#include "core/store/account.h"
#include "core/store/program_files.h"

namespace pelnor {

class AttachmentSaver {
 public:
  // An empty attachment directory means AttachmentFolderPath(programDir).
  explicit AttachmentSaver(std::filesystem::path programDir);

  // Saves `file` when the account asks for it and returns the path written
  // (empty when nothing was saved). A Shift_JIS directory (from the account
  // list) is turned into the file system's encoding (UTF-8) here; the file
  // name is UTF-8 already. A missing
  // directory is created with its parents; the file name never leaves the
  // directory (see SafeFileName). The file gets a name of its own: a taken
  // name is numbered (see NumberedFileName), and in the program directory
  // one of the program's own names gets a "_" at its end ("main.dat_").
  // `retrievedAt` names the dated folder of a message whose Date cannot be
  // read. File-system failures throw std::filesystem::filesystem_error.
  std::filesystem::path SaveAttachment(const AttachedFile& file,
                                       const Account& account,
                                       const std::string& date,
                                       const DateTime& retrievedAt) const;

  // The directory the attachments of a message with this Date go to.
  std::filesystem::path TargetDir(const Account& account, const std::string& date,
                                  const DateTime& retrievedAt) const;

 private:
  bool IsProgramDir(const std::filesystem::path& dir) const;

  std::filesystem::path programDir_;
};

// A UTF-8 file name that names a file inside its directory: bytes that are
// no UTF-8 become U+FFFD, "/" and NUL become "_", and a name that would mean the directory itself or its parent
// ("", ".", "..") gets a "_" in front.
std::string SafeFileName(std::string utf8Name);

// The file system's limit on the bytes of one name.
inline constexpr std::size_t kMaxFileNameBytes = 255;

// `utf8Name` as the `number`th file of that name: from 2 on, " (number)"
// goes before the extension ("a (2).pdf"; ".profile" has none, so
// ".profile (2)"). The result fits kMaxFileNameBytes: the part before the
// extension is shortened by whole characters, the extension kept.
std::string NumberedFileName(const std::string& utf8Name, int number);

// A written file's name as the printout shows it (UTF-8).
std::string PrintedFileName(const std::filesystem::path& written);

}  // namespace pelnor
