// MIME type by file-name extension, from the system's /etc/mime.types.

#include <fstream>
#include <sstream>
#include <unordered_map>

#include "core/mime/mime_types.h"
#include "core/text/text_util.h"

namespace pelnor {
namespace {

using TypeMap = std::unordered_map<std::string, std::string>;

// "type ext ext ..." per line, "#" starts a comment. Later lines do not
// override an extension already seen.
TypeMap LoadMimeTypes(const char* path) {
  TypeMap map;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string type;
    std::string ext;
    if (!(words >> type)) continue;
    while (words >> ext) map.emplace(LowerCase(ext), type);
  }
  return map;
}

const TypeMap& MimeTypes() {
  static const TypeMap map = LoadMimeTypes("/etc/mime.types");
  return map;
}

}  // namespace

std::string ContentTypeOfFile(std::string_view fileName) {
  static const std::string kFallback = "application/octet-stream";
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos || dot + 1 == fileName.size()) return kFallback;
  const auto& map = MimeTypes();
  const auto it = map.find(LowerCase(fileName.substr(dot + 1)));
  return it == map.end() ? kFallback : it->second;
}

}  // namespace pelnor
