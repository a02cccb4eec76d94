// Bytes from User.inf, history files and Defult.ini: the digit codec and the
// INI reader must survive anything a damaged or hand-edited file holds.

#include "core/store/digit_codec.h"
#include "core/store/ini_file.h"
#include "core/store/store_error.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

void FuzzDigits(std::string_view bytes) {
  if (pelnor::IsDigitLine(bytes)) {
    std::string decoded = pelnor::DecodeDigits(bytes);
    Require(decoded.size() <= bytes.size() / 8 + 1);
  }
  // Every byte string survives the codec.
  Require(pelnor::DecodeDigits(pelnor::EncodeDigits(bytes)) == bytes);
}

void FuzzIni(std::string_view bytes) {
  pelnor::IniFile ini(bytes);
  ini.ReadInteger("File", "Time", 300000);
  ini.ReadBool("Config", "RA1", true);
  ini.ReadString("Ploxy", "Adress", "");
  ini.WriteInteger("File", "Time", 60000);
  ini.WriteString("System", "version", "1.7");
  // What was written reads back, whatever the file held before.
  pelnor::IniFile again(ini.Text());
  Require(again.ReadInteger("File", "Time", 0) == 60000);
  Require(again.ReadString("System", "version", "") == "1.7");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  FuzzDigits(bytes);
  FuzzIni(bytes);
  return 0;
}
