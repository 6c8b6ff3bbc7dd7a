#include "checks/fix_site_info.h"

#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "checks/check_trap.h"
#include "platform/error_trap.h"
#include "platform/text_file.h"
#include "tables/table_reader.h"
#include "tables/table_rules.h"

namespace tarvex {

namespace {

const std::string kBreak(kLineBreak);

// The stations by their numbers as read, so that a line finds its stations in one lookup
// however long the list: the first station of each number, and for every station the next
// one that has its number.
class NumbersAsRead {
 public:
  explicit NumbersAsRead(const ShellState& state)
      : state_(state), next_(static_cast<std::size_t>(state.StationCount) + 1, 0) {
    first_.reserve(static_cast<std::size_t>(state.StationCount));
    std::unordered_map<std::string_view, long> last;
    last.reserve(static_cast<std::size_t>(state.StationCount));
    for (long i = 1; i <= state.StationCount; ++i) {
      const std::string_view number = state.StationNumbersAsRead[i];
      const auto [at, isNew] = last.emplace(number, i);
      if (isNew)
        first_.emplace(number, i);
      else
        next_[at->second] = std::exchange(at->second, i);
    }
  }

  // The line with its station number repaired; nothing when it matches no station. The
  // stations are compared in list order, each later one with the number as already
  // replaced.
  std::optional<std::string> repairedLine(std::string_view line) const {
    const auto fields = splitFields(line);
    if (fields.size() < 2) return std::nullopt;
    std::string number(siteStationNumber(line));
    long after = 0;
    for (long i; (i = nextMatch(number, after)) != 0; after = i) number = state_.StationNumbers[i];
    if (after == 0) return std::nullopt;
    for (std::size_t f = 1; f < fields.size(); ++f) (number += '\t') += fields[f];
    return number;
  }

 private:
  // The first station after `after` whose number as read is `number`; 0 when none.
  long nextMatch(std::string_view number, long after) const {
    const auto found = first_.find(number);
    long i = found == first_.end() ? 0 : found->second;
    while (i != 0 && i <= after) i = next_[i];
    return i;
  }

  const ShellState& state_;
  std::unordered_map<std::string_view, long> first_;
  std::vector<long> next_;  // 0: no later station has this number
};

}  // namespace

SiteInfoRewrite FixSiteInfo(CheckContext& context, const std::string& fileName) {
  ShellState& state = context.state;
  SiteInfoRewrite rewrite;
  const auto failure = runCheckTrapped(context, fileName, "Sub FixSiteInfo", [&] {
    const auto path = context.dataFile(fileName);
    const std::string original = context.readFile(path);
    const auto lines = splitLineViews(original);
    if (lines.empty()) throw RunTimeError(err::kInputPastEnd);

    const NumbersAsRead numbers(state);
    std::string text(lines.front());
    text.reserve(original.size() + 2 * lines.size());
    std::vector<FindingItem> leftOut;  // the lines the new file has not: one problem
    std::string leftOutText;
    for (std::size_t number = 1; number < lines.size(); ++number) {
      const std::string_view line = lines[number];
      const auto repaired = trimBlanks(line).empty() ? std::nullopt : numbers.repairedLine(line);
      if (repaired) {
        (text += kBreak) += *repaired;
        continue;
      }
      const auto fields = splitFields(line);
      std::string entry = std::to_string(number) + "\t" + std::string(line);
      (leftOutText += entry) += kBreak;
      leftOut.push_back({static_cast<long>(number) + 1,
                         fields.empty() ? std::nullopt : std::optional<std::string>(fields.front()),
                         std::nullopt, std::move(entry)});
    }

    rewrite.backupName = context.backUp(path);
    context.found({fileName,
                   {},
                   {},
                   1,
                   Severity::Warning,
                   fileName + " was rewritten with the repaired station numbers; its backup is " +
                       rewrite.backupName,
                   "station-numbers-rewritten"});
    context.writeFile(path, text + kBreak);
    if (leftOut.empty()) return;

    context.found({fileName,
                   leftOut.front().line,
                   {},
                   {},
                   Severity::Warning,
                   std::to_string(leftOut.size()) + " lines of " + fileName +
                       " match no station and were left out of it",
                   "lines-left-out",
                   {},
                   std::move(leftOut)});
    rewrite.result = kLinesLeftOut;
    context.showReport(rewrite.backupName + kBreak + std::string(lines.front()) + kBreak +
                       leftOutText);
  });
  if (failure) rewrite.result = failure->number();
  return rewrite;
}

}  // namespace tarvex
