#pragma once

// The files the program keeps in its own directory, and the folder that
// receives attachments there, so that no saved attachment takes the place
// of one of them.

#include <string>
#include <string_view>

namespace pelnor {

// programDir + "attach/": the attachment folder proposed by the account
// editor and used for an account whose attachment directory is empty.
std::string AttachmentFolderPath(std::string programDir);

// True for a name the program itself uses in its directory: the settings,
// the account list and its backup, the log, every account's history
// ("*.dat"), unique-id list ("*.uidl") and pending printouts ("*.pnd"),
// the temporary files of their rewrites, the executable, the manual and the
// PDF folder. Letter case is ignored, so the answer also holds on file
// systems that ignore it. `name` is a file name without directory.
bool IsProgramFileName(std::string_view name);

}  // namespace pelnor
