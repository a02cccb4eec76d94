#include "core/mime/body_names.h"

namespace pelnor {
namespace {

constexpr std::string_view kForbidden = "\\/:*?\"<>|";

}  // namespace

std::string RemoveForbiddenNameChars(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (char c : name)
    if (kForbidden.find(c) == std::string_view::npos) out += c;
  return out;
}

std::string HtmlNameFromSubject(std::string_view subject) {
  const std::size_t last = subject.find_last_of(".\\:");
  std::string name(subject);
  if (last != std::string_view::npos && subject[last] == '.') name.erase(last);
  return name + ".html";
}

}  // namespace pelnor
