// Restarting the demo with glibc's huge-page heap.
#include "app/hugepages.h"

#include <gnu/libc-version.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

constexpr const char* kTunable = "glibc.malloc.hugetlb";
constexpr const char* kThpSetting = "/sys/kernel/mm/transparent_hugepage/enabled";

// glibc reads glibc.malloc.hugetlb from 2.35 on; older ones ignore it.
bool LibcKnowsHugeTlb() {
  int major = 0, minor = 0;
  if (std::sscanf(gnu_get_libc_version(), "%d.%d", &major, &minor) != 2) return false;
  return major > 2 || (major == 2 && minor >= 35);
}

}  // namespace

std::string HugePageTunables(const char* current) {
  const std::string setting = std::string(kTunable) + "=1";
  if (!current || !*current) return setting;
  if (std::strstr(current, kTunable)) return "";
  return std::string(current) + ":" + setting;
}

bool HugePagesOnRequest(const std::string& setting) { return setting.find("[madvise]") != std::string::npos; }

void RestartWithHugePages(char** argv) {
#if defined(__SANITIZE_ADDRESS__)
  constexpr bool kGlibcHeap = false;  // the sanitizer's allocator takes its place
#else
  constexpr bool kGlibcHeap = true;
#endif
  if (!kGlibcHeap || !argv || !argv[0]) return;
  const char* current = std::getenv("GLIBC_TUNABLES");
  const std::string previous = current ? current : "";
  const std::string tunables = HugePageTunables(current);
  if (tunables.empty() || !LibcKnowsHugeTlb()) return;
  std::ifstream file(kThpSetting);
  std::stringstream text;
  text << file.rdbuf();
  if (!HugePagesOnRequest(text.str())) return;
  if (setenv("GLIBC_TUNABLES", tunables.c_str(), 1) != 0) return;
  // The program's own file, so that the process keeps its name ("garden"
  // in ps and pgrep) rather than taking the link's ("exe").
  std::array<char, 4096> self{};
  const ssize_t length = readlink("/proc/self/exe", self.data(), self.size() - 1);
  if (length > 0) execv(self.data(), argv);
  // Not restarted: run on as the process already is, with the environment
  // its own child processes would have had.
  if (current)
    setenv("GLIBC_TUNABLES", previous.c_str(), 1);
  else
    unsetenv("GLIBC_TUNABLES");
}
