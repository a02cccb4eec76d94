#include "pdf_probe.h"

#include "files.h"
#include "test_process.h"
#include "temp_dir.h"

#include <regex>
#include <sstream>
#include <stdexcept>

namespace pelnor::test {
namespace {

// Runs a poppler tool that writes to `output`; returns what it wrote.
std::string RunTool(std::vector<std::string> argv, const std::filesystem::path& output) {
  TempDir dir("pelnor-pdf-");
  const std::filesystem::path log = dir.Path() / "log";
  const std::filesystem::path out = dir.Path() / output;
  argv.push_back(out.string());
  if (RunCommand(argv, EnvironmentWith({}), log) != 0)
    throw std::runtime_error(argv[0] + " failed: " + ReadBytesIfExists(log));
  return ReadBytes(out);
}

std::string Unescape(std::string text) {
  static const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [from, to] : entities)
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + 1))
      text.replace(at, std::string(from).size(), to);
  return text;
}

}  // namespace

bool HavePopplerTools() {
  return !FindTool("pdftotext").empty() && !FindTool("pdfinfo").empty() &&
         !FindTool("pdftoppm").empty();
}

std::string PdfToText(const std::filesystem::path& pdf, int first, int last) {
  std::vector<std::string> argv = {"pdftotext", "-enc", "UTF-8"};
  if (first > 0) argv.insert(argv.end(), {"-f", std::to_string(first)});
  if (last > 0) argv.insert(argv.end(), {"-l", std::to_string(last)});
  argv.push_back(pdf.string());
  return RunTool(argv, "text.txt");
}

std::string PdfInfo(const std::filesystem::path& pdf) {
  TempDir dir("pelnor-pdf-");
  const std::filesystem::path log = dir.Path() / "log";
  if (RunCommand({"pdfinfo", pdf.string()}, EnvironmentWith({}), log) != 0)
    throw std::runtime_error("pdfinfo failed: " + ReadBytesIfExists(log));
  return ReadBytes(log);
}

std::string PdfFonts(const std::filesystem::path& pdf) {
  TempDir dir("pelnor-pdf-");
  const std::filesystem::path log = dir.Path() / "log";
  if (RunCommand({"pdffonts", pdf.string()}, EnvironmentWith({}), log) != 0)
    throw std::runtime_error("pdffonts failed: " + ReadBytesIfExists(log));
  return ReadBytes(log);
}

std::vector<PdfWord> PdfWords(const std::filesystem::path& pdf) {
  const std::string html = RunTool({"pdftotext", "-enc", "UTF-8", "-bbox", pdf.string()}, "w.html");
  static const std::regex word(
      R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  std::vector<PdfWord> words;
  for (auto it = std::sregex_iterator(html.begin(), html.end(), word); it != std::sregex_iterator();
       ++it) {
    const std::smatch& m = *it;
    words.push_back({Unescape(m[5]), std::stod(m[1]), std::stod(m[2]), std::stod(m[3]),
                     std::stod(m[4])});
  }
  return words;
}

GrayImage RenderPdf(const std::filesystem::path& pdf, int dpi, int x, int y, int width,
                     int height) {
  TempDir dir("pelnor-pdf-");
  const std::filesystem::path log = dir.Path() / "log";
  const std::filesystem::path stem = dir.Path() / "page";
  const std::vector<std::string> argv = {
      "pdftoppm", "-gray", "-singlefile", "-f", "1", "-l", "1", "-r", std::to_string(dpi),
      "-x", std::to_string(x), "-y", std::to_string(y), "-W", std::to_string(width),
      "-H", std::to_string(height), pdf.string(), stem.string()};
  if (RunCommand(argv, EnvironmentWith({}), log) != 0)
    throw std::runtime_error("pdftoppm failed: " + ReadBytesIfExists(log));
  const std::string pgm = ReadBytes(stem.string() + ".pgm");
  std::istringstream in(pgm);
  std::string magic;
  int maxValue = 0;
  GrayImage image;
  in >> magic >> image.Width >> image.Height >> maxValue;
  in.get();
  if (magic != "P5" || maxValue != 255) throw std::runtime_error("unexpected pdftoppm output");
  image.Pixels.resize(static_cast<size_t>(image.Width) * image.Height);
  in.read(reinterpret_cast<char*>(image.Pixels.data()), static_cast<std::streamsize>(image.Pixels.size()));
  return image;
}

}  // namespace pelnor::test
