#include "checks/fix_site_info.h"

#include <string_view>
#include <vector>

#include "checks/check_trap.h"
#include "checks/report.h"
#include "checks/table_rules.h"
#include "platform/error_trap.h"
#include "platform/text_file.h"

namespace tarvex {

namespace {

const std::string kBreak(kLineBreak);

// The data line with its station number repaired; nothing when it matches no station.
// Later numbers are compared with the field as already replaced.
std::optional<std::string> repairedLine(const ShellState& state, std::string_view line) {
  const auto fields = splitFields(line);
  if (fields.size() < 2) return std::nullopt;
  std::string first(fields.front());
  bool matched = false;
  for (long i = 1; i <= state.StationCount; ++i) {
    if (first != state.StationNumbersAsRead[i]) continue;
    first = state.StationNumbers[i];
    matched = true;
  }
  if (!matched) return std::nullopt;
  for (std::size_t f = 1; f < fields.size(); ++f) (first += '\t') += fields[f];
  return first;
}

}  // namespace

SiteInfoRewrite FixSiteInfo(CheckContext& context, const std::string& fileName) {
  ShellState& state = context.state;
  SiteInfoRewrite rewrite;
  const auto failure = runCheckTrapped(context, fileName, "Sub FixSiteInfo", [&] {
    const auto path = context.dataFile(fileName);
    const std::string original = readFileBytes(path);
    const auto lines = splitLines(original);
    if (lines.empty()) throw RunTimeError(err::kInputPastEnd);

    std::string text = lines.front();
    Report leftOut(state.Findings);
    for (std::size_t number = 1; number < lines.size(); ++number) {
      const std::string& line = lines[number];
      const auto repaired = trimBlanks(line).empty() ? std::nullopt : repairedLine(state, line);
      if (repaired) {
        (text += kBreak) += *repaired;
        continue;
      }
      const auto fields = splitFields(line);
      leftOut.add({fileName,
                   static_cast<long>(number),
                   fields.empty() ? std::nullopt : std::optional<std::string>(fields.front()),
                   {},
                   Severity::Warning,
                   std::to_string(number) + "\t" + line});
    }

    // The backup must exist before the file is touched: without it nothing is rewritten.
    const std::string backup = context.backUp(path);
    rewrite.backupName = backup;
    context.countWarning();
    context.writeFile(path, text + kBreak);
    if (leftOut.length() <= 2) return;

    context.countWarning();
    rewrite.result = -9999;
    context.showReport(backup + kBreak + lines.front() + kBreak + leftOut.text());
  });
  if (failure) rewrite.result = failure->number();
  return rewrite;
}

}  // namespace tarvex
