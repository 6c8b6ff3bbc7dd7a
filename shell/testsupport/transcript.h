#pragma once

#include <string>

#include "platform/run_time_error.h"

namespace tarvex::testing {

// The transcript block of one message box.
std::string msgBoxBlock(int style, const std::string& title, const std::string& text,
                        const std::string& answer = "ok");

// The transcript block of one input box; `answer` as printed ("\"typed\"", "cancel").
std::string inputBoxBlock(const std::string& title, const std::string& defaultText,
                          const std::string& prompt, const std::string& answer);

// The first line of a file-open dialog's block, without its line break.
std::string openHead(const std::string& title, const std::string& suggested);

}  // namespace tarvex::testing

// Expects `statement` to raise a RunTimeError with the given number.
#define EXPECT_RUNTIME_ERROR(statement, expectedNumber)                        \
  do {                                                                         \
    try {                                                                      \
      statement;                                                               \
      ADD_FAILURE() << "no run-time error from " #statement;                   \
    } catch (const ::tarvex::RunTimeError& raised) {                           \
      EXPECT_EQ(raised.number(), (expectedNumber)) << "raised by " #statement; \
    }                                                                          \
  } while (false)
