#include "core/store/program_files.h"

#include <algorithm>
#include <cctype>

namespace pelnor {
namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && EqualIgnoringCase(text.substr(text.size() - end.size()), end);
}

// The names written by the store, the log, the built-in PDF printer, and
// the installed program and manual.
constexpr std::string_view kOwnNames[] = {"Defult.ini", "User.inf", "User.inf.bak", "Log.txt",
                                          "pelnor",     "pelnor.html", "PDF"};

// Each account's history, the unique-ids of its mail seen on the server and
// its pending printouts.
constexpr std::string_view kAccountFileEnds[] = {".dat", ".uidl", ".pnd"};

bool IsOwnName(std::string_view name) {
  if (std::any_of(std::begin(kAccountFileEnds), std::end(kAccountFileEnds),
                  [name](std::string_view end) { return EndsWithIgnoringCase(name, end); }))
    return true;
  return std::any_of(std::begin(kOwnNames), std::end(kOwnNames),
                     [name](std::string_view own) { return EqualIgnoringCase(name, own); });
}

// A whole-file rewrite writes "<name>.tmpXXXXXX" first (mkstemp fills in
// six letters or digits) and renames it.
bool IsRewriteTempName(std::string_view name) {
  constexpr std::string_view kTemp = ".tmp";
  constexpr std::size_t kUnique = 6;
  if (name.size() < kTemp.size() + kUnique) return false;
  const std::size_t at = name.size() - kUnique - kTemp.size();
  const std::string_view unique = name.substr(at + kTemp.size());
  return name.substr(at, kTemp.size()) == kTemp && IsOwnName(name.substr(0, at)) &&
         std::all_of(unique.begin(), unique.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

}  // namespace

std::string AttachmentFolderPath(std::string programDir) {
  if (!programDir.empty() && programDir.back() != '/') programDir += '/';
  return programDir + "attach/";
}

bool IsProgramFileName(std::string_view name) { return IsOwnName(name) || IsRewriteTempName(name); }

}  // namespace pelnor
