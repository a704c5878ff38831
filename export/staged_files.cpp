#include "export/staged_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

StagedFiles::~StagedFiles() {
  for (const Entry& e : entries_) std::remove(e.temporary.c_str());
}

std::string StagedFiles::Add(const std::string& path, const std::string& text) {
  return Add(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string StagedFiles::Add(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return "cannot write '" + path + "': it is a folder";
  const std::string temporary = path + ".tmp" + std::to_string(static_cast<long>(getpid()));
  std::unique_ptr<std::FILE, FileCloser> f(std::fopen(temporary.c_str(), "wb"));
  if (!f) return "cannot write '" + path + "': " + std::strerror(errno);
  entries_.push_back({path, temporary});
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) {
    return "cannot write '" + path + "': " + std::strerror(errno);
  }
  if (std::fclose(f.release()) != 0) return "cannot write '" + path + "': " + std::strerror(errno);
  return {};
}

std::string StagedFiles::Commit() {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (std::rename(entries_[i].temporary.c_str(), entries_[i].path.c_str()) != 0) {
      const std::string error = "cannot write '" + entries_[i].path + "': " + std::strerror(errno);
      // Files already renamed stay: they are complete. The rest go.
      entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(i));
      return error;
    }
  }
  entries_.clear();
  return {};
}
