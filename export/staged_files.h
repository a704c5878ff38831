// Output files written as one set: each is written to a temporary file
// beside its final path, and only when all were written are they renamed
// into place. Whatever is left uncommitted is removed, so a failure never
// leaves a half-written file behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class StagedFiles {
 public:
  StagedFiles() = default;
  StagedFiles(const StagedFiles&) = delete;
  StagedFiles& operator=(const StagedFiles&) = delete;
  ~StagedFiles();

  // Writes the temporary for `path`. Returns an empty string or
  // "cannot write '<path>': <reason>".
  std::string Add(const std::string& path, const std::vector<std::uint8_t>& bytes);
  std::string Add(const std::string& path, const std::string& text);
  // Renames every temporary to its path. Returns an empty string or an
  // error; on error the temporaries are removed.
  std::string Commit();

 private:
  struct Entry {
    std::string path, temporary;
  };
  std::vector<Entry> entries_;
};
