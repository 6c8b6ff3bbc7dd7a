#pragma once

namespace tarvex::testing {

// True when file permissions apply to this process (it does not run as root).
bool permissionsApply();

}  // namespace tarvex::testing

// Skips a test whose meaning rests on file permissions when they do not apply.
#define SKIP_UNLESS_PERMISSIONS_APPLY()                                    \
  do {                                                                     \
    if (!::tarvex::testing::permissionsApply())                            \
      GTEST_SKIP() << "runs as root, where no permission is ever refused"; \
  } while (false)
