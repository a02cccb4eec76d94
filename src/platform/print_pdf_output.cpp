#include "platform/print_pdf_output.h"

#include "core/print/print_canvas.h"
#include "core/text/error_text.h"
#include "core/text/sjis.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
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

std::filesystem::path Numbered(const std::filesystem::path& first, int n) {
  if (n == 1) return first;
  return first.parent_path() / (first.stem().string() + "-" + std::to_string(n) + ".pdf");
}

// Makes a new directory entry survive a crash of the machine.
void SyncDirectory(const std::filesystem::path& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const bool synced = fd >= 0 && ::fsync(fd) == 0;
  const int error = errno;
  if (fd >= 0) ::close(fd);
  if (!synced) Fail(dir, ErrorText(error));
}

}  // namespace

std::filesystem::path PdfOutputDir(const std::filesystem::path& programDir) {
  return programDir / "PDF";
}

std::unique_ptr<PrintJobFile> OpenPdfJobFile(const std::filesystem::path& programDir) {
  const std::filesystem::path dir = PdfOutputDir(programDir);
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error) Fail(dir, ErrorText(error.value()));
  return std::make_unique<PrintJobFile>(dir, dir / (TimeStamp() + ".pdf"), 0644);
}

std::filesystem::path PublishPdfJobFile(PrintJobFile& file) {
  file.Finish();
  int n = 1;
  std::filesystem::path path = file.Name();
  while (!file.LinkAs(path)) path = Numbered(file.Name(), ++n);
  try {
    SyncDirectory(path.parent_path());
    file.Close();
  } catch (...) {
    ::unlink(path.c_str());
    throw;
  }
  return path;
}

std::unique_ptr<PrintJobFile> OpenSpoolFile() {
  std::error_code error;
  const std::filesystem::path dir = std::filesystem::temp_directory_path(error);
  if (error) Fail("$TMPDIR", ErrorText(error.value()));
  return std::make_unique<PrintJobFile>(dir, dir, 0600);
}

}  // namespace pelnor
