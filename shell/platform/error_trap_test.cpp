#include "platform/error_trap.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/scripted/scripted_desktop.h"

namespace tarvex::testing {
namespace {

TEST(ErrorTrap, BothBoxTextsAndWhatPassesThrough) {
  EXPECT_EQ(trapMessage(TrapText::Sub, RunTimeError(53)), "Error: 53 File not found");
  EXPECT_EQ(trapMessage(TrapText::Typed, RunTimeError(76)),
            "Error: 76\r\nType of Error: Path not found");

  std::ostringstream out;
  ScriptedDesktop desktop(out, "/", CalendarDate{2026, 12, 7});
  auto error =
      withErrorBox(desktop, TrapText::Sub, "Sub Test", [] { throw std::out_of_range("index"); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->number(), 9);
  EXPECT_EQ(out.str(), "== msgbox 16 \"Sub Test\"\nError: 9 Subscript out of range\n-> ok\n");
  EXPECT_FALSE(trapped([] {}));
  // Ending the program is not an error: it passes every trap.
  EXPECT_THROW(trapped([] { throw ProgramEnd{}; }), ProgramEnd);
}

}  // namespace
}  // namespace tarvex::testing
