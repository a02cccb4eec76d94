#include "app/attachment_output.h"

#include "app/japanese_date.h"
#include "platform/sjis_literal.h"

namespace pelnor {

namespace fs = std::filesystem;

std::string SafeFileName(std::string utf8Name) {
  for (char& c : utf8Name) {
    if (c == '/' || c == '\0') c = '_';
  }
  if (utf8Name.empty() || utf8Name == "." || utf8Name == "..") utf8Name = "_" + utf8Name;
  return utf8Name;
}

TAttachmentSaver::TAttachmentSaver(fs::path programDir) : programDir_(std::move(programDir)) {}

fs::path TAttachmentSaver::TargetDir(const TOutputAccount& account, const std::string& date,
                                     const TDateTime& retrievedAt) const {
  // The date digits are glued to the directory text as they are, so an
  // AttachDir without a trailing separator gives a sibling such as
  // mail0412251529, as users of the setting expect.
  std::string dir =
      account.AttachDir.empty() ? programDir_.string() : SjisToUtf8(account.AttachDir);
  if (account.DateDirFlag == "0") dir += FormatDateDirName(date, retrievedAt);
  return fs::path(dir);
}

fs::path TAttachmentSaver::SaveAttachment(const TAttachedFile& file,
                                          const TOutputAccount& account,
                                          const std::string& date,
                                          const TDateTime& retrievedAt) const {
  if (account.SaveAttachFlag != "0") return {};
  fs::path dir = TargetDir(account, date, retrievedAt);
  fs::create_directories(dir);
  fs::path path = dir / SafeFileName(SjisToUtf8(file.FileName));
  file.SaveToFile(path);
  return path;
}

}  // namespace pelnor
