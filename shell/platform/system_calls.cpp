#include "platform/system_calls.h"

#include <unistd.h>

#include <cstdio>
#include <utility>

namespace tarvex {

namespace {

constexpr SystemCalls kSystem{::fsync, ::rename};
const SystemCalls* inUse = &kSystem;

}  // namespace

const SystemCalls& systemCalls() { return *inUse; }

ScopedSystemCalls::ScopedSystemCalls(const SystemCalls& calls)
    : previous_(std::exchange(inUse, &calls)) {}

ScopedSystemCalls::~ScopedSystemCalls() { inUse = previous_; }

}  // namespace tarvex
