#pragma once

namespace tarvex {

// The system calls that commit a safe write: the sync of the new file and its rename into
// place. They go through this table so that a test can make one of them fail: a failure
// between writing a file and renaming it cannot be brought about from outside, yet it is
// exactly where a rewrite must leave the old file as it was.
struct SystemCalls {
  int (*fsync)(int fd);
  int (*rename)(const char* from, const char* to);
};

// The calls in use: the system's own, unless a test has put others in place.
const SystemCalls& systemCalls();

// Puts `calls` in place while it lives; for tests, on one thread.
class ScopedSystemCalls {
 public:
  explicit ScopedSystemCalls(const SystemCalls& calls);
  ~ScopedSystemCalls();
  ScopedSystemCalls(const ScopedSystemCalls&) = delete;
  ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;

 private:
  const SystemCalls* previous_;
};

}  // namespace tarvex
