// Test support: turns checked failures into exceptions so a test can see
// which fault a call raised without ending the test program.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/checked.h"

struct FaultRaised : std::runtime_error {
  Fault kind;
  FaultRaised(Fault k, std::string_view what) : std::runtime_error(std::string(what)), kind(k) {}
};

inline void ThrowingFaultHook(Fault kind, std::string_view what) { throw FaultRaised(kind, what); }

// Installs the throwing hook for the lifetime of the object.
struct FaultsThrow {
  FaultsThrow() { SetFaultHook(ThrowingFaultHook); }
  ~FaultsThrow() { SetFaultHook(nullptr); }
  FaultsThrow(const FaultsThrow&) = delete;
  FaultsThrow& operator=(const FaultsThrow&) = delete;
};
