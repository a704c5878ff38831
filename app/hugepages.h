// Start-up memory setting of the demo process.
//
// On its first frames the GL driver (llvmpipe) fills about 150 MB of fresh
// memory with the frame's binned triangles. Where the kernel hands out
// transparent huge pages only on request ("madvise"), every 4 KB of that is
// its own page fault, and the faults make up most of the first frame's
// time. glibc backs its heap with huge pages when the tunable
// glibc.malloc.hugetlb=1 is set; tunables are read only when a process
// starts, so the demo restarts itself once with it.
#pragma once

#include <string>

// The GLIBC_TUNABLES value with huge pages asked for, given the current one
// (null when unset); "" when it already says anything about huge pages (the
// user's choice stands) and nothing is to change.
std::string HugePageTunables(const char* current);

// True when the kernel's THP setting (the text of
// /sys/kernel/mm/transparent_hugepage/enabled) gives huge pages on request
// only, the one case the restart helps.
bool HugePagesOnRequest(const std::string& setting);

// Re-executes this program (same pid, same arguments) with huge pages asked
// for, when that helps and has not been done yet. Returns when it does not
// restart, or when the restart fails: the demo then runs as it is.
void RestartWithHugePages(char** argv);
