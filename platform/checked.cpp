#include "platform/checked.h"

#include <cstdio>
#include <cstdlib>

namespace {
FaultHook g_hook = nullptr;

const char* FaultName(Fault kind) {
  switch (kind) {
    case Fault::IOError: return "I/O error";
    case Fault::DivisionByZero: return "division by zero";
    case Fault::RangeCheck: return "range check error";
    case Fault::Overflow: return "integer overflow";
  }
  return "error";
}
}  // namespace

void SetFaultHook(FaultHook hook) { g_hook = hook; }

void RunError(Fault kind, std::string_view what) {
  if (g_hook) g_hook(kind, what);  // a test hook throws and never returns here
  std::fprintf(stderr, "garden: run-time error %d (%s): %.*s\n", static_cast<int>(kind), FaultName(kind),
               static_cast<int>(what.size()), what.data());
  std::fflush(stderr);
  std::_Exit(static_cast<int>(kind));
}
