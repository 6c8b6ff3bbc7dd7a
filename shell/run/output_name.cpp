#include "run/output_name.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>

#include "platform/error_trap.h"
#include "platform/text_file.h"
#include "run/file_routines.h"

namespace tarvex {

namespace {

constexpr int kLastRun = 999;
constexpr std::size_t kMaxDirNameLength = 100;

// A whole number from 1000 to 1000001, for the day's fallback name.
long fallbackNumber() {
  std::random_device seed;
  std::mt19937 engine(seed());
  std::uniform_real_distribution<double> fraction(0.0, 1.0);
  return std::lround(fraction(engine) * 999001.0 + 1000.0);
}

std::string datePart(const CalendarDate& date) {
  char text[32];
  std::snprintf(text, sizeof text, "TARVEXOutput-%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

bool acceptable(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         c == '-';
}

// Any entry of that name stops the folder from being created: a file, a folder or a
// link, even a broken one.
bool nameTaken(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

}  // namespace

std::string defaultOutputName(const CalendarDate& date, const std::string& directory) {
  const long random = fallbackNumber();
  const std::string prefix = datePart(date);
  for (int run = 1; run <= kLastRun; ++run) {
    char counter[16];
    std::snprintf(counter, sizeof counter, "Run%03d", run);
    const std::string name = prefix + counter;
    if (!nameTaken(directory + name)) return name;
  }
  return prefix + "-" + std::to_string(random);
}

std::string cleanDirName(std::string& text) {
  std::string cleaned;
  auto error = trapped([&] {
    text = trimBlanks(text);
    if (text.empty()) {
      cleaned = kEmptyDirNameMarker;
      return;
    }
    std::string result;
    for (char c : text) {
      if (c == ' ')
        result += '_';
      else if (acceptable(c))
        result += c;
    }
    if (result.empty()) {
      cleaned = kBadDirNameMarker;
      return;
    }
    result.resize(std::min(result.size(), kMaxDirNameLength));
    cleaned = result + "/";
  });
  return error ? kEmptyDirNameMarker : cleaned;
}

}  // namespace tarvex
