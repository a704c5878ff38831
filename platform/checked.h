// Checked failures: array indexes out of range, integer overflow and I/O
// faults stop the program with one clear line on stderr and a fixed exit
// code per kind. Every bounds-checked array and overflow-checked sum in the
// system goes through these helpers.
#pragma once

#include <cstdint>
#include <string_view>

enum class Fault : int {
  IOError = 100,       // a file that exists could not be read
  DivisionByZero = 200,
  RangeCheck = 201,    // array index outside its declared bounds
  Overflow = 215,      // integer arithmetic overflow
};

// Writes "garden: run-time error <code>: <what>" to stderr and exits with
// the fault's code. Tests replace the exit with a throw (see SetFaultHook).
[[noreturn]] void RunError(Fault kind, std::string_view what);

// Tests install a hook that throws instead of exiting, so a checked failure
// can be observed in-process. Passing nullptr restores the exit.
using FaultHook = void (*)(Fault kind, std::string_view what);
void SetFaultHook(FaultHook hook);

// Index check for an array declared lo..hi; returns the zero-based offset.
inline std::size_t CheckIndex(long long index, long long lo, long long hi, std::string_view what) {
  if (index < lo || index > hi) RunError(Fault::RangeCheck, what);
  return static_cast<std::size_t>(index - lo);
}

inline std::int32_t CheckedAdd(std::int32_t a, std::int32_t b, std::string_view what) {
  std::int32_t r;
  if (__builtin_add_overflow(a, b, &r)) RunError(Fault::Overflow, what);
  return r;
}

inline std::int32_t CheckedSub(std::int32_t a, std::int32_t b, std::string_view what) {
  std::int32_t r;
  if (__builtin_sub_overflow(a, b, &r)) RunError(Fault::Overflow, what);
  return r;
}

inline std::int32_t CheckedMul(std::int32_t a, std::int32_t b, std::string_view what) {
  std::int32_t r;
  if (__builtin_mul_overflow(a, b, &r)) RunError(Fault::Overflow, what);
  return r;
}

// Truncating integer division; a zero divisor is a checked failure.
inline std::int32_t CheckedDiv(std::int32_t a, std::int32_t b, std::string_view what) {
  if (b == 0) RunError(Fault::DivisionByZero, what);
  if (a == INT32_MIN && b == -1) RunError(Fault::Overflow, what);
  return a / b;
}
