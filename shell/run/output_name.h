#pragma once

#include <string>

#include "platform/desktop.h"

namespace tarvex {

inline constexpr const char* kEmptyDirNameMarker = "ErrorEmptyDirName\\";
inline constexpr const char* kBadDirNameMarker = "ErrorBadDirName\\";

// "TARVEXOutput-yyyy-mm-ddRunNNN" for the first counter whose name is free in
// `directory` (ending in '/'); the random fallback name when all 999 are taken.
std::string defaultOutputName(const CalendarDate& date, const std::string& directory);

// Cleans a typed folder name: trims `text` in place, keeps letters, digits, '_' and
// '-', turns blanks into '_', cuts to 100 characters and appends '/'. Returns one of
// the two markers when nothing (acceptable) was typed.
std::string cleanDirName(std::string& text);

}  // namespace tarvex
