// Files and processes for the export tests: a fresh folder per test, file
// reading, PNG decoding and running the tools with their stderr captured.
#pragma once

#include <png.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "textures/image_write.h"

namespace exporttest {

inline std::string ToolPath(const char* name) { return std::string(GARDEN_BINARY_DIR) + "/tools/" + name; }
inline std::string RunFolder() { return std::string(GARDEN_BINARY_DIR) + "/run"; }

// A new empty folder under the build's temp area, removed at the end.
struct ScratchDir {
  std::filesystem::path path;
  explicit ScratchDir(const std::string& name) {
    path = std::filesystem::path(GARDEN_BINARY_DIR) / "tmp-export-tests" / name;
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string operator/(const std::string& file) const { return (path / file).string(); }
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path)) names.insert(e.path().filename().string());
    return names;
  }
};

inline std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

inline std::string ReadText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Decodes a PNG to RGBA; width 0 when it cannot be read.
inline RgbaImage DecodePng(const std::vector<std::uint8_t>& bytes) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return {};
  image.format = PNG_FORMAT_RGBA;
  RgbaImage out(static_cast<int>(image.width), static_cast<int>(image.height));
  if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) return {};
  return out;
}

struct RunResult {
  int exitCode = -1;
  std::string err;  // what the tool wrote to stderr
};

// Runs a shell command line with stderr captured into a file beside it.
inline RunResult RunTool(const std::string& command, const std::string& errFile) {
  RunResult r;
  const int status = std::system((command + " >/dev/null 2>'" + errFile + "'").c_str());
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.err = ReadText(errFile);
  std::filesystem::remove(errFile);
  return r;
}

}  // namespace exporttest
