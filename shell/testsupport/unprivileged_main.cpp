// The main of test programs whose cases rest on file permissions. As root every
// permission check passes, so those cases would test nothing: the program gives up
// root for an ordinary user before the tests run. Where that fails, the cases that
// need it are skipped with the reason.
#include <grp.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "unprivileged.h"

namespace tarvex::testing {

bool permissionsApply() { return ::geteuid() != 0; }

namespace {

constexpr uid_t kNobody = 65534;

void dropRoot() {
  if (::geteuid() != 0) return;
  if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) return;
}

}  // namespace
}  // namespace tarvex::testing

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  tarvex::testing::dropRoot();
  return RUN_ALL_TESTS();
}
