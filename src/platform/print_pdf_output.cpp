#include "platform/print_pdf_output.h"

#include "app/print_canvas.h"
#include "platform/sjis_literal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <system_error>

namespace pelnor {
namespace {

std::string TimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

[[noreturn]] void Fail(const std::filesystem::path& path, const std::string& why) {
  throw EPrinterError(Sjis("PDF ファイルを作成できません: ") + path.string() + ": " + why);
}

}  // namespace

std::filesystem::path PdfOutputDir(const std::filesystem::path& programDir) {
  return programDir / "PDF";
}

std::filesystem::path ReservePdfJobFile(const std::filesystem::path& programDir) {
  const std::filesystem::path dir = PdfOutputDir(programDir);
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error) Fail(dir, error.message());

  const std::string stem = TimeStamp();
  for (int n = 1;; ++n) {
    const std::filesystem::path path =
        dir / (stem + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".pdf");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ::close(fd);
      return path;
    }
    if (errno != EEXIST) Fail(path, std::strerror(errno));
  }
}

std::filesystem::path ReserveSpoolFile() {
  std::error_code error;
  const std::filesystem::path dir = std::filesystem::temp_directory_path(error);
  if (error) Fail("$TMPDIR", error.message());
  std::string pattern = (dir / "pelnor-job-XXXXXX.pdf").string();
  const int fd = mkostemps(pattern.data(), 4, O_CLOEXEC);
  if (fd < 0) Fail(pattern, std::strerror(errno));
  ::close(fd);
  return pattern;
}

}  // namespace pelnor
