#include "app/command_line.h"

#include <chrono>
#include <cstdio>

namespace tarvex {

std::optional<CalendarDate> parseIsoDate(const std::string& text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  const int year = std::stoi(text.substr(0, 4));
  const int month = std::stoi(text.substr(5, 2));
  const int day = std::stoi(text.substr(8, 2));
  const std::chrono::year_month_day ymd{std::chrono::year(year),
                                        std::chrono::month(static_cast<unsigned>(month)),
                                        std::chrono::day(static_cast<unsigned>(day))};
  if (!ymd.ok()) return std::nullopt;
  return CalendarDate{year, month, day};
}

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args,
                                            std::string& error) {
  CommandLine line;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option != "--script" && option != "--shell-dir" && option != "--date") {
      error = "unknown argument \"" + option + "\"";
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      error = option + " needs a value";
      return std::nullopt;
    }
    const std::string& value = args[++i];
    if (option == "--script") {
      line.scriptPath = value;
    } else if (option == "--shell-dir") {
      line.shellDirectory = value;
    } else {
      line.date = parseIsoDate(value);
      if (!line.date) {
        error = "--date takes a date as YYYY-MM-DD, not \"" + value + "\"";
        return std::nullopt;
      }
    }
  }
  return line;
}

}  // namespace tarvex
