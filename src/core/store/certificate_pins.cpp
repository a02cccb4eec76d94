#include "core/store/certificate_pins.h"

#include <algorithm>
#include <stdexcept>

#include "core/store/atomic_file.h"
#include "core/store/ini_file.h"
#include "core/store/settings.h"
#include "core/store/text_file.h"

namespace pelnor {
namespace {

constexpr const char* kSection = "Certificates";
constexpr std::string_view kPrefix = "sha256:";

}  // namespace

bool IsCertificateFingerprint(const std::string& text) {
  if (text.size() != kPrefix.size() + 64 || text.compare(0, kPrefix.size(), kPrefix) != 0)
    return false;
  return std::all_of(text.begin() + kPrefix.size(), text.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
  });
}

std::string CertificatePin(const std::string& dir, const ServerAddress& server) {
  const IniFile ini(ReadWholeFile(SettingsFilePath(dir)).value_or(""));
  std::string pin = ini.ReadString(kSection, ServerKey(server), "");
  return IsCertificateFingerprint(pin) ? pin : std::string();
}

void SaveCertificatePin(const std::string& dir, const ServerAddress& server,
                        const std::string& fingerprint) {
  if (!IsCertificateFingerprint(fingerprint))
    throw std::invalid_argument("not a SHA-256 certificate fingerprint: " + fingerprint);
  const std::string path = SettingsFilePath(dir);
  IniFile ini(ReadWholeFile(path).value_or(""));
  ini.WriteString(kSection, ServerKey(server), fingerprint);
  ReplaceFile(path, ini.Text(), FileAccess::kKeepOrShared);
}

}  // namespace pelnor
