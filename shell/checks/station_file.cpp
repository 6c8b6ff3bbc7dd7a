#include "checks/station_file.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "checks/check_trap.h"
#include "checks/report.h"
#include "checks/table_form.h"
#include "platform/error_trap.h"
#include "platform/run_time_error.h"
#include "platform/text_file.h"
#include "platform/unified_diff.h"
#include "tables/table_reader.h"
#include "tables/table_rules.h"

namespace tarvex {

namespace {

using std::to_string;

const std::string kCrLf(kLineBreak);
constexpr const char* kRepeatedStations =
    "A station is on more than one line of the file, so it is not rewritten in order: please "
    "remove the repeated lines first.";

std::optional<std::string> stationAsRead(std::string_view first) {
  if (first.empty()) return std::nullopt;
  return std::string(first);
}

// The stations of the list by the texts a line may give for them: the number, the number
// as read, and the number without the leading zero that the repair may have added ("0" +
// the line's station equal to the number). One hash lookup per line keeps large files
// linear; every station that matches is found, not just the first. Open addressing in one
// array: equal texts (stations listed twice) stay on one probe chain.
class StationIndex {
 public:
  explicit StationIndex(const ShellState& state) : seen_(state.StationCount + 1, 0) {
    std::size_t capacity = 16;
    while (capacity < 6 * static_cast<std::size_t>(state.StationCount)) capacity *= 2;
    slots_.resize(capacity);
    for (long k = 1; k <= state.StationCount; ++k) {
      const std::string_view number = state.StationNumbers[k];
      add(number, k);
      if (state.StationNumbersAsRead[k] != number) add(state.StationNumbersAsRead[k], k);
      if (!number.empty() && number.front() == '0') add(number.substr(1), k);
    }
  }

  // Calls visit(k) once for every station k that `station` matches.
  template <class Visit>
  void forEachMatch(std::string_view station, Visit&& visit) {
    ++stamp_;
    for (std::size_t i = slotOf(station); slots_[i].station != 0; i = next(i)) {
      const Slot& slot = slots_[i];
      if (slot.text != station || seen_[slot.station] == stamp_) continue;
      seen_[slot.station] = stamp_;
      visit(slot.station);
    }
  }

 private:
  struct Slot {
    std::string_view text;
    long station = 0;  // 0: empty
  };
  std::size_t slotOf(std::string_view text) const {
    return std::hash<std::string_view>()(text) & (slots_.size() - 1);
  }
  std::size_t next(std::size_t i) const { return (i + 1) & (slots_.size() - 1); }
  void add(std::string_view text, long station) {
    std::size_t i = slotOf(text);
    while (slots_[i].station != 0) i = next(i);
    slots_[i] = Slot{text, station};
  }

  std::vector<Slot> slots_;
  std::vector<long> seen_;  // stamp of the last line that matched each station
  long stamp_ = 0;
};

class StationFileCheck {
 public:
  StationFileCheck(CheckContext& context, const std::string& fileName, int kind)
      : context_(context),
        state_(context.state),
        fileName_(fileName),
        kind_(kind),
        report_(context) {}

  void run();
  StationFileOutcome outcome;

 private:
  void checkHeadings(std::string_view headingLine);
  void checkLineCount(long lineCount);
  void matchLine(long i, std::string_view line);
  void repeatedStation(long i, long earlier, std::string_view station);
  std::string reorderedLine(long k);
  void showReport(bool counted);
  void settleOrder();
  bool askRewrite(const std::string& statement, const std::string& question,
                  const std::string& rewritten);
  void refuseRewrite(const std::string& statement);
  void countMismatches(const std::string& heading);
  void addStationsInProperOrder();
  void addMismatchList(const std::string& heading, bool blankAfterHeading);
  std::string rewrittenText();

  // Reports a problem as a line of the report, counted as its severity says. Lines are
  // those of the file: the heading is line 1, data line i is line i + 1.
  void problem(Severity severity, const char* code, std::optional<long> line,
               std::optional<std::string> station, std::optional<int> field, std::string text,
               std::optional<std::string> expected = {});
  // The station that belongs on data line i, when there is one.
  std::optional<std::string> expectedOn(long i) const;
  // One line of a block of lines counted once.
  FindingItem item(long i, std::string text) const;

  CheckContext& context_;
  ShellState& state_;
  const std::string& fileName_;
  const int kind_;
  Report report_;

  std::string bytes_;
  std::vector<std::string_view> lines_;  // the heading line, then data lines 1, 2, ...
  std::string headingLine_;
  long h_ = 0;
  std::vector<long> matchedLine_;  // per station 1 .. StationCount: the line it got, or 0
  long outOfOrder_ = 0;
  long repeats_ = 0;  // lines whose station another line has too: no rewrite in order
  std::vector<FindingItem> mismatchItems_;
  std::vector<FindingItem> misplacedItems_;  // lines whose station belongs on another line
  std::vector<FindingItem> listedItems_;     // the lines of the last report
  std::string listingHeading_;               // and its first line
  std::optional<StationIndex> index_;
  std::vector<std::string_view> fields_;
};

void StationFileCheck::problem(Severity severity, const char* code, std::optional<long> line,
                               std::optional<std::string> station, std::optional<int> field,
                               std::string text, std::optional<std::string> expected) {
  report_.add(Finding{fileName_, line, std::move(station), field, severity, std::move(text), code,
                      std::move(expected)});
}

std::optional<std::string> StationFileCheck::expectedOn(long i) const {
  if (i < 1 || i > state_.StationCount) return std::nullopt;
  return state_.StationNumbers[i];
}

FindingItem StationFileCheck::item(long i, std::string text) const {
  const std::string_view line = lines_[i];
  return {i + 1, stationAsRead(line.substr(0, line.find('\t'))), expectedOn(i), std::move(text)};
}

void StationFileCheck::checkHeadings(std::string_view headingLine) {
  headingLine_ = headingLine.empty() ? " " : std::string(headingLine);
  const std::vector<std::string_view> headings = splitFields(headingLine_);
  h_ = static_cast<long>(headings.size());
  if (h_ < 2) {
    outcome.errorFlag = 1;
    problem(Severity::Note, "too-few-columns", 1, {}, {},
            "Error: The  file: " + fileName_ + " has only " + to_string(h_) +
                ". It should have 2 or more.");
  }

  state_.FileColumnCounts[kind_] = h_;
  const long flowCharColumns = state_.FileColumnCounts[kFlowCharFile];
  if (kind_ != kFlowCharFile && h_ != flowCharColumns) {
    outcome.errorFlag = 1;
    problem(Severity::Error, "column-count", 1, {}, {},
            "Error: The  file: " + fileName_ + " has: " + to_string(h_) +
                " columns and the flow characteristics file: " + state_.FlowCharFileName +
                " has: " + to_string(flowCharColumns));
  }

  if (kind_ == kFlowCharFile) {
    state_.FlowCharHeadings.assign(1, "");
    for (std::string_view heading : headings)
      state_.FlowCharHeadings.emplace_back(trimmedField(heading));
    return;
  }
  for (long j = 1; j <= flowCharColumns && j <= h_; ++j) {
    if (j >= static_cast<long>(state_.FlowCharHeadings.size()))
      throw RunTimeError(err::kSubscriptOutOfRange);
    const std::string_view heading = trimmedField(headings[j - 1]);
    if (heading == state_.FlowCharHeadings[j]) continue;
    outcome.warningFlag = 1;
    problem(Severity::Warning, "heading-mismatch", 1, {}, static_cast<int>(j),
            "Warning: The heading: " + std::string(heading) + " in file: " + fileName_ +
                " does not match the heading " + state_.FlowCharHeadings[j] +
                " in flow characteristics file: " + state_.FlowCharFileName,
            state_.FlowCharHeadings[j]);
  }
}

void StationFileCheck::checkLineCount(long lineCount) {
  if (lineCount != state_.StationCount) {
    outcome.errorFlag = 1;
    problem(Severity::Error, "station-count", {}, {}, {},
            "Error: the number of stations in the file: " + fileName_ + " (" +
                to_string(lineCount) +
                ") is not equal to the number of stations in the site info file: " +
                state_.SiteInfoFileName + " (" + to_string(state_.StationCount) + ")");
  }
  if (lineCount < 2) {
    outcome.errorFlag = 1;
    problem(Severity::Error, "one-station", {}, {}, {},
            "Error: There is only one station in the flow characteristics file");
  }
  // No data line, or no station to match, leaves nothing to size the lists by.
  if (lineCount < 1 || state_.StationCount < 1) throw RunTimeError(err::kSubscriptOutOfRange);
  if (static_cast<long>(state_.StationNumbers.size()) <= state_.StationCount ||
      static_cast<long>(state_.StationNumbersAsRead.size()) <= state_.StationCount)
    throw RunTimeError(err::kSubscriptOutOfRange);
}

void StationFileCheck::matchLine(long i, std::string_view line) {
  if (line.empty()) line = " ";
  const long n = static_cast<long>(std::count(line.begin(), line.end(), '\t')) + 1;
  const std::string_view first = line.substr(0, line.find('\t'));

  std::string errorStation;
  if (first.empty()) {
    errorStation = "Station Error Line: " + to_string(i);
    outcome.errorFlag = 1;
    // Counted, though the report shows no line for it.
    context_.found({fileName_,
                    i + 1,
                    {},
                    1,
                    Severity::Error,
                    errorStation,
                    "no-station-number",
                    expectedOn(i)});
  }
  const std::string_view station = first.empty() ? std::string_view(errorStation) : first;

  if (n != h_) {
    const bool more = n > h_;
    std::string text = "Line: " + to_string(i);
    if (first.empty())
      text += more ? " Has more fields (" : " Has fewer fields (";
    else
      (text += " Station: ").append(first) += more ? " Has more  fields (" : " Has fewer fields (";
    text += to_string(n) + ") than the heading line (" + to_string(h_) + ")";
    outcome.warningFlag = 1;
    problem(Severity::Error, more ? "long-line" : "short-line", i + 1, stationAsRead(first), {},
            std::move(text));
  }

  long matches = 0;
  index_->forEachMatch(station, [&](long k) {
    ++matches;
    if (matchedLine_[k] != 0) repeatedStation(i, matchedLine_[k], first);
    matchedLine_[k] = i;  // a later line replaces an earlier one
    if (k == i) return;
    ++outOfOrder_;
    misplacedItems_.push_back(item(i, "Line: " + to_string(i) + "\t" + std::string(line)));
  });
  if (matches > 1) {
    ++repeats_;
    outcome.errorFlag = 1;
    problem(Severity::Error, "duplicate-station", i + 1, stationAsRead(first), 1,
            "Error: Station " + std::string(station) + " on line " + to_string(i + 1) + " of " +
                fileName_ + " matches " + to_string(matches) +
                " stations of the site information file");
  }
  if (matches == 0) {
    std::string entry = "Line: " + to_string(i) + "\t";
    entry.append(line);
    mismatchItems_.push_back(item(i, std::move(entry)));
  }
}

// Two lines for one station: a rewrite in order would keep only one of them.
void StationFileCheck::repeatedStation(long i, long earlier, std::string_view station) {
  ++repeats_;
  outcome.errorFlag = 1;
  problem(Severity::Error, "duplicate-station", i + 1, stationAsRead(station), 1,
          "Error: Station " + std::string(station) + " is on line " + to_string(earlier + 1) +
              " and on line " + to_string(i + 1) + " of " + fileName_);
}

// Station k's number, then the fields 2 to h of the line that matched it, trimmed, empty
// where the line is short; nothing when no line matched.
std::string StationFileCheck::reorderedLine(long k) {
  const long i = matchedLine_[k];
  if (i == 0) return {};
  const std::string_view line = lines_[i].empty() ? std::string_view(" ") : lines_[i];
  std::string rebuilt = state_.StationNumbers[k];
  const long n = static_cast<long>(std::count(line.begin(), line.end(), '\t')) + 1;
  if (n <= h_ && line.find(' ') == std::string_view::npos) {
    // Nothing to trim and nothing to drop: the fields after the first as they stand.
    rebuilt.append(line.substr(std::min(line.find('\t'), line.size())));
    rebuilt.append(static_cast<std::size_t>(h_ - n), '\t');
    return rebuilt;
  }
  splitFieldsInto(line, fields_);
  for (long m = 2; m <= h_; ++m) {
    rebuilt += '\t';
    if (m <= n) rebuilt.append(trimmedField(fields_[m - 1]));
  }
  return rebuilt;
}

void StationFileCheck::run() {
  if (kind_ < kFlowCharFile || kind_ > kLP3sFile) throw RunTimeError(err::kSubscriptOutOfRange);
  if (!checkTableForm(context_, fileName_)) {
    outcome.errorFlag = 1;
    return;
  }
  bytes_ = context_.readFile(context_.dataFile(fileName_));
  lines_ = splitLineViews(bytes_);
  if (lines_.empty()) throw RunTimeError(err::kInputPastEnd);

  checkHeadings(lines_[0]);
  const long lineCount = static_cast<long>(lines_.size()) - 1;
  checkLineCount(lineCount);

  matchedLine_.assign(state_.StationCount + 1, 0);
  index_.emplace(state_);
  for (long i = 1; i <= lineCount; ++i) matchLine(i, lines_[i]);

  showReport(false);
  report_.clear();
  settleOrder();
  showReport(true);
}

void StationFileCheck::showReport(bool counted) {
  if (report_.length() <= 2) return;
  report_.addLineFront(fileName_ + " file problems: ");
  if (counted) {
    // The listing itself counts as a problem of the file: its lines are the items.
    outcome.warningFlag = 1;
    context_.found({fileName_,
                    {},
                    {},
                    {},
                    Severity::Warning,
                    fileName_ + " file problems: " + kCrLf + listingHeading_,
                    "file-report",
                    {},
                    std::move(listedItems_)});
  }
  context_.showReport(report_.text());
}

void StationFileCheck::settleOrder() {
  const long mismatchCount = static_cast<long>(mismatchItems_.size());
  if (outOfOrder_ == 0) {
    if (mismatchCount == 0) return;
    addMismatchList("Mismatched input lines: ", false);
    outcome.warningFlag = 1;
    countMismatches("Mismatched input lines: ");
    return;
  }

  std::string statement = "Error: There are " + to_string(outOfOrder_) +
                          " lines in file: " + kCrLf + fileName_ + kCrLf +
                          "that are out of order with respect to the SiteInfo file.";
  std::string question = "Do you want to rewrite " + fileName_ + kCrLf + "with the proper order";
  if (mismatchCount > 0) {
    statement +=
        kCrLf + "Also, there are: " + to_string(mismatchCount) + " lines that do not match.";
    question += ", but without the mismatched lines";
  }
  outcome.warningFlag = 1;
  context_.found({fileName_,
                  misplacedItems_.front().line,
                  {},
                  {},
                  Severity::Warning,
                  statement,
                  "lines-out-of-order",
                  {},
                  misplacedItems_});
  bool rewriteIt = false;
  if (repeats_ > 0) {
    refuseRewrite(statement);
  } else {
    std::string text = rewrittenText();
    rewriteIt = askRewrite(statement, question, text);
    if (rewriteIt) context_.writeFile(context_.dataFile(fileName_), text);
  }
  if (!rewriteIt) addStationsInProperOrder();
  if (mismatchCount == 0) return;
  if (!rewriteIt) report_.addLine("");
  addMismatchList("Mismatched stations:", true);
  countMismatches("Mismatched stations:");
}

void StationFileCheck::countMismatches(const std::string& heading) {
  context_.found({fileName_,
                  mismatchItems_.front().line,
                  {},
                  {},
                  Severity::Warning,
                  heading,
                  "unmatched-lines",
                  {},
                  mismatchItems_});
}

// The question says how many lines the rewrite would change, so the user knows what the
// answer means before giving it.
bool StationFileCheck::askRewrite(const std::string& statement, const std::string& question,
                                  const std::string& rewritten) {
  const std::size_t changed = changedLines(bytes_, rewritten);
  return context_.desktop.msgBox(
             statement + kCrLf + question + kCrLf + linesWouldChange(changed, fileName_), kYesNo,
             "Lines out of order") == MsgAnswer::Yes;
}

// With a station on two lines, the order cannot be mended without losing one of them: the
// user is told instead of asked, and the proper order is listed as when the rewrite is
// declined.
void StationFileCheck::refuseRewrite(const std::string& statement) {
  context_.desktop.msgBox(statement + kCrLf + kRepeatedStations, kExclamation,
                          "Lines out of order");
}

void StationFileCheck::addStationsInProperOrder() {
  if (listingHeading_.empty()) listingHeading_ = "Stations in proper order:";
  report_.addLine("Stations in proper order:");
  report_.addLine("");
  for (long k = 1; k <= state_.StationCount; ++k) {
    std::string rebuilt = reorderedLine(k);
    // Each points at the line that now holds the station's values, if one does.
    const long i = matchedLine_[k];
    listedItems_.push_back(
        i != 0 ? item(i, rebuilt)
               : FindingItem{std::nullopt, state_.StationNumbers[k], std::nullopt, rebuilt});
    report_.addLine(std::move(rebuilt));
  }
}

void StationFileCheck::addMismatchList(const std::string& heading, bool blankAfterHeading) {
  if (listingHeading_.empty()) listingHeading_ = heading;
  report_.addLine(heading);
  if (blankAfterHeading) report_.addLine("");
  for (const FindingItem& entry : mismatchItems_) report_.addLine(entry.text);
  listedItems_.insert(listedItems_.end(), mismatchItems_.begin(), mismatchItems_.end());
}

// The kept heading line, then one line per station of the list; lines that matched no
// station are left out. Replaced whole, so a failure leaves the file as it was.
std::string StationFileCheck::rewrittenText() {
  std::string text = headingLine_ + kCrLf;
  text.reserve(bytes_.size() + 2 * static_cast<std::size_t>(state_.StationCount));
  for (long k = 1; k <= state_.StationCount; ++k) (text += reorderedLine(k)) += kCrLf;
  return text;
}

}  // namespace

StationFileOutcome ReadStationFile(CheckContext& context, const std::string& fileName, int kind) {
  StationFileCheck check(context, fileName, kind);
  if (auto error = runCheckTrapped(context, fileName, "Sub ReadStationFile", [&] { check.run(); }))
    check.outcome.errorFlag = error->number();
  return check.outcome;
}

}  // namespace tarvex
