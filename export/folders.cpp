#include "export/folders.h"

#include <filesystem>
#include <system_error>

std::string InFolder(const std::string& dir, void (*work)()) {
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) return "texture folder '" + dir + "' not found";
  const std::filesystem::path old = std::filesystem::current_path(ec);
  if (ec) return "cannot read the current folder: " + ec.message();
  std::filesystem::current_path(dir, ec);
  if (ec) return "cannot enter texture folder '" + dir + "': " + ec.message();
  work();
  std::filesystem::current_path(old, ec);
  if (ec) return "cannot return to '" + old.string() + "': " + ec.message();
  return {};
}

std::string DefaultTextureDir() {
  std::error_code ec;
  if (std::filesystem::exists("gras.bmp", ec)) return ".";
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return ".";
  return (exe.parent_path().parent_path() / "run").string();
}
