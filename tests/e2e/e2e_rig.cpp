#include "e2e_rig.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "core/text/sjis.h"
#include "support/cups_fixture.h"
#include "support/dovecot_fixture.h"
#include "support/pdf_probe.h"
#include "support/test_process.h"

namespace fs = std::filesystem;

namespace pelnor::test {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}

std::string LeakSuppressions(const fs::path& dir) {
  WriteBytes(dir / "lsan.supp",
             "leak:libcups.so.2\nleak:libcupsprintersupport.so\nleak:libdbus-1.so\n");
  return "LSAN_OPTIONS=suppressions=" + (dir / "lsan.supp").string();
}

// --- program directory ------------------------------------------------------

ProgramDirFixture::ProgramDirFixture(const fs::path& base, const fs::path& executable)
    : dir_(base / "Pelnor"), home_(base / "home"), runtime_(base / "run"), tmp_(base / "tmp") {
  for (const fs::path& dir : {dir_, home_, runtime_, tmp_}) fs::create_directories(dir);
  // Qt takes a runtime directory only when it is private.
  fs::permissions(runtime_, fs::perms::owner_all, fs::perm_options::replace);
  fs::copy_file(executable, Executable());
  const fs::path manual = executable.parent_path() / "pelnor.html";
  if (!fs::exists(manual)) throw std::runtime_error("no manual beside " + executable.string());
  fs::copy_file(manual, dir_ / "pelnor.html");
  lsanOptions_ = LeakSuppressions(home_);
}

std::vector<std::string> ProgramDirFixture::Environment() const {
  std::vector<std::string> env = EnvironmentWith({
      "HOME=" + home_.string(),
      "XDG_RUNTIME_DIR=" + runtime_.string(),
      "TMPDIR=" + tmp_.string(),
      "QT_QPA_PLATFORM=xcb",
      lsanOptions_,
  });
  std::erase_if(env, [](const std::string& entry) {
    return entry.rfind("DBUS_SESSION_BUS_ADDRESS=", 0) == 0;
  });
  return env;
}

std::vector<std::string> ProgramDirFixture::OutputLogLines() const {
  std::vector<std::string> lines;
  std::istringstream log(SjisToUtf8(ReadBytesIfExists(dir_ / "Log.txt")));
  for (std::string line; std::getline(log, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.ends_with("<出力終了>")) lines.push_back(line);
  }
  return lines;
}

// --- windows ----------------------------------------------------------------

std::optional<std::string> Xdotool(const std::vector<std::string>& arguments) {
  char pattern[] = "/tmp/pelnor-xdotool-XXXXXX";
  const int fd = ::mkstemp(pattern);
  if (fd < 0) return std::nullopt;
  ::close(fd);
  std::vector<std::string> argv = {"xdotool"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  const int code = RunCommand(argv, EnvironmentWith({}), pattern);
  std::string output = ReadBytes(pattern);
  fs::remove(pattern);
  if (code != 0) return std::nullopt;
  return output;
}

namespace {

std::optional<WindowBox> Geometry(unsigned long id) {
  const auto shell = Xdotool({"getwindowgeometry", "--shell", std::to_string(id)});
  if (!shell) return std::nullopt;
  WindowBox box{id};
  std::istringstream lines(*shell);
  for (std::string line; std::getline(lines, line);) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq);
    const int value = std::atoi(line.c_str() + eq + 1);
    if (key == "X") box.X = value;
    if (key == "Y") box.Y = value;
    if (key == "WIDTH") box.Width = value;
    if (key == "HEIGHT") box.Height = value;
  }
  return box;
}

}  // namespace

std::vector<WindowBox> VisibleWindowsOf(pid_t pid) {
  std::vector<WindowBox> boxes;
  const auto ids = Xdotool({"search", "--onlyvisible", "--pid", std::to_string(pid)});
  if (!ids) return boxes;
  std::istringstream lines(*ids);
  for (unsigned long id = 0; lines >> id;)
    if (auto box = Geometry(id)) boxes.push_back(*box);
  return boxes;
}

std::string WindowName(unsigned long id) {
  return Xdotool({"getwindowname", std::to_string(id)}).value_or("");
}

bool ClickAt(int x, int y, int button) {
  return Xdotool({"mousemove", std::to_string(x), std::to_string(y), "click",
                  std::to_string(button)})
      .has_value();
}

std::optional<WindowBox> TrayIconOf(pid_t pid) {
  for (const WindowBox& box : VisibleWindowsOf(pid))
    if (box.Width > 0 && box.Width <= 64 && box.Height > 0 && box.Height <= 64) return box;
  return std::nullopt;
}

std::optional<WindowBox> OpenTrayMenu(pid_t pid, std::chrono::milliseconds timeout) {
  std::optional<WindowBox> menu;
  auto shown = [&] {
    for (const WindowBox& box : VisibleWindowsOf(pid))
      if (box.Height > 100) menu = box;
    return menu.has_value();
  };
  WaitUntil(
      [&] {
        const auto icon = TrayIconOf(pid);
        if (!icon) return false;
        ClickAt(icon->X + icon->Width / 2, icon->Y + icon->Height / 2, 3);
        return WaitUntil(shown, std::chrono::milliseconds(1500));
      },
      timeout);
  return menu;
}

std::string MissingForWholeProgram() {
  if (::geteuid() != 0) return "needs root for port 110";
  if (DovecotServer::BinaryPath().empty()) return "dovecot NOT installed";
  if (auto missing = CupsFixture::MissingTools(); !missing.empty())
    return "CUPS chain NOT installed (" + missing + ")";
  if (!HavePopplerTools()) return "poppler-utils NOT installed";
  return "";
}

}  // namespace pelnor::test
