#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "app/hugepages.h"

namespace {

TEST(HugePages, TunablesKeepTheUsersOwn) {
  struct Case {
    const char* current;
    const char* expected;
  };
  const Case cases[] = {
      {nullptr, "glibc.malloc.hugetlb=1"},
      {"", "glibc.malloc.hugetlb=1"},
      {"glibc.malloc.arena_max=2", "glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1"},
      // Already decided, either way: nothing to change, no restart.
      {"glibc.malloc.hugetlb=0", ""},
      {"glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(HugePageTunables(c.current), c.expected) << (c.current ? c.current : "(unset)");
}

TEST(HugePages, OnlyOnRequestSettingRestarts) {
  EXPECT_TRUE(HugePagesOnRequest("always [madvise] never\n"));
  EXPECT_FALSE(HugePagesOnRequest("[always] madvise never\n"));
  EXPECT_FALSE(HugePagesOnRequest("always madvise [never]\n"));
  EXPECT_FALSE(HugePagesOnRequest(""));  // no THP support in the kernel
}

#if !defined(__SANITIZE_ADDRESS__)
std::string ReadFile(const std::string& path) {
  std::ifstream f(path);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// The demo binary restarts itself in place: same process, the tunable in its
// environment, and it still runs to a normal end.
TEST(HugePages, DemoRestartsItselfOnceAndRuns) {
  if (!HugePagesOnRequest(ReadFile("/sys/kernel/mm/transparent_hugepage/enabled")))
    GTEST_SKIP() << "transparent huge pages are not on request here";
  const std::string garden = std::string(GARDEN_BINARY_DIR) + "/app/garden";
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    unsetenv("GLIBC_TUNABLES");
    setenv("GARDEN_PLATFORM", "headless", 1);
    // On Mesa the process lives for a few hundred milliseconds, long
    // enough to be seen after its restart.
    setenv("GARDEN_HEADLESS_GL", "mesa", 1);
    setenv("GARDEN_HEADLESS_FRAMES", "3", 1);
    if (chdir(GARDEN_BINARY_DIR "/run") != 0) _exit(126);
    execl(garden.c_str(), garden.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // The environment a process started with is in /proc/<pid>/environ; it
  // changes when the process re-executes itself.
  bool restarted = false;
  for (int i = 0; i < 2000 && !restarted; ++i) {
    const std::string environ = ReadFile("/proc/" + std::to_string(pid) + "/environ");
    restarted = environ.find(std::string("GLIBC_TUNABLES=glibc.malloc.hugetlb=1") + '\0') != std::string::npos;
    if (!restarted) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  // Still known by its own name.
  std::string name = ReadFile("/proc/" + std::to_string(pid) + "/comm");
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(restarted);
  EXPECT_EQ(name, "garden\n");
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

}  // namespace
