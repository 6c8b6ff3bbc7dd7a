#include "checks/site_info.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "checks/check_trap.h"
#include "checks/report.h"
#include "checks/table_form.h"
#include "platform/error_trap.h"
#include "platform/text_file.h"
#include "tables/table_reader.h"
#include "tables/table_rules.h"

namespace tarvex {

namespace {

constexpr int kSiteInfoKind = 1;
constexpr std::size_t kRequiredColumns = 9;
constexpr std::size_t kNamedColumns = 8;

constexpr std::array<const char*, kNamedColumns> kSiteInfoHeadings = {
    "Station ID",       "Lat",      "Long",          "No. Annual Series",
    "Zero-1;NonZero-2", "FreqZero", "Regional Skew", "Cont-1;PR-2"};

const std::string kBreak(kLineBreak);

std::string count(std::size_t n) { return std::to_string(n); }

// One run of the check over one site information file.
class SiteInfoCheck {
 public:
  SiteInfoCheck(CheckContext& context, const std::string& fileName)
      : c_(context), s_(context.state), fileName_(fileName), report_(context) {}

  void run();
  const SiteInfoOutcome& outcome() const { return outcome_; }

 private:
  void checkHeading(const std::string& headingLine);
  void sizeStationList(long stations);
  void checkStationLine(std::string_view line, long lineNumber);
  void checkFieldCount(std::string_view first, std::size_t fields, long lineNumber);
  void checkStationNumber(long lineNumber);
  void checkRepeatedStation(std::string_view number, long lineNumber);
  void checkColumns(const std::vector<std::string_view>& fields, long lineNumber);
  void reportSevenDigitNumbers();

  void error(const char* code, std::string text, long line, std::optional<int> field = {});
  void warning(const char* code, std::string text, long line, std::optional<int> field = {},
               std::optional<std::string> expected = {});
  void record(Severity severity, const char* code, std::string text, std::optional<long> line,
              std::optional<int> field, std::optional<std::string> expected = {});

  CheckContext& c_;
  ShellState& s_;
  const std::string& fileName_;
  Report report_;
  SiteInfoOutcome outcome_;
  std::size_t headingCount_ = 0;
  long index_ = 1;                                     // the next station's place in the list
  std::unordered_map<std::string_view, long> lineOf_;  // the first line of each station number
  std::optional<std::string> station_;                 // the station of the line being checked
  std::vector<FindingItem> sevenDigitLines_;
};

void SiteInfoCheck::record(Severity severity, const char* code, std::string text,
                           std::optional<long> line, std::optional<int> field,
                           std::optional<std::string> expected) {
  report_.add(
      {fileName_, line, station_, field, severity, std::move(text), code, std::move(expected)});
}

void SiteInfoCheck::error(const char* code, std::string text, long line, std::optional<int> field) {
  record(Severity::Error, code, std::move(text), line, field);
  outcome_.errorFlag = 1;
}

void SiteInfoCheck::warning(const char* code, std::string text, long line, std::optional<int> field,
                            std::optional<std::string> expected) {
  record(Severity::Warning, code, std::move(text), line, field, std::move(expected));
  outcome_.warningFlag = 1;
}

void SiteInfoCheck::run() {
  if (!checkTableForm(c_, fileName_)) {
    outcome_.errorFlag = 1;
    return;
  }
  const auto lines = splitLines(c_.readFile(c_.dataFile(fileName_)));
  if (lines.empty()) throw RunTimeError(err::kInputPastEnd);
  checkHeading(lines.front());

  long stations = 0;
  for (std::size_t i = 1; i < lines.size(); ++i)
    if (siteStationNumber(lines[i]).size() > 1) ++stations;
  s_.StationCount = stations;
  if (stations < 2)
    record(Severity::Note, "too-few-stations",
           "There are less than two stations in the SiteInfo file", {}, {});
  sizeStationList(stations);

  for (std::size_t i = 1; i < lines.size(); ++i)
    checkStationLine(lines[i], static_cast<long>(i) + 1);

  reportSevenDigitNumbers();
  if (report_.length() > 2) c_.showReport("SiteInfo file problems: " + kBreak + report_.text());
}

void SiteInfoCheck::checkHeading(const std::string& headingLine) {
  const auto headings =
      splitFields(trimBlanks(headingLine).empty() ? std::string_view(" ") : headingLine);
  headingCount_ = headings.size();
  if (headingCount_ < kRequiredColumns)
    error(
        "too-few-columns",
        "Error: The SiteInfo file has only " + count(headingCount_) + ". It should have 9 or more.",
        1);
  for (std::size_t column = 1; column <= std::min(kNamedColumns, headingCount_); ++column) {
    const std::string required = fnSiteInfoHeading(kSiteInfoKind, static_cast<int>(column) - 1);
    const std::string found(headings[column - 1]);
    // The text says Error; it is counted as a warning.
    if (found != required)
      warning("heading-name",
              "Error: column: " + count(column) + " of the SiteInfo file is named: " + found +
                  " not " + required,
              1, static_cast<int>(column), required);
  }
}

void SiteInfoCheck::sizeStationList(long stations) {
  // Without a station line there is no list to size: the check fails.
  if (stations < 1) throw RunTimeError(err::kSubscriptOutOfRange);
  const auto size = static_cast<std::size_t>(stations) + 1;
  s_.StationNumbers.assign(size, {});
  s_.StationNumbersAsRead.assign(size, {});
  s_.StationNumberValues.assign(size, 0);
  s_.StationLatitudes.assign(size, 0);
  s_.StationLongitudes.assign(size, 0);
  s_.SevenDigitStationCount = s_.LeadingCharStationCount = s_.InternalCharStationCount = 0;
  lineOf_.reserve(size);
}

void SiteInfoCheck::checkStationLine(std::string_view line, long lineNumber) {
  const auto fields = splitFieldsOrBlank(line);
  station_ = std::string(fields.front());
  checkFieldCount(fields.front(), fields.size(), lineNumber);

  const std::string number(siteStationNumber(line));
  if (number.size() < 2) {
    error("no-station-number",
          "Line: " + std::to_string(lineNumber) + " Station Number Error: No station number",
          lineNumber, 1);
    outcome_.errorFlag = 999;
    return;
  }
  station_ = number;
  s_.StationNumbers[index_] = s_.StationNumbersAsRead[index_] = number;
  checkRepeatedStation(s_.StationNumbersAsRead[index_], lineNumber);
  s_.StationNumberValues[index_] = fnToLong(fields.front());
  checkStationNumber(lineNumber);
  checkColumns(fields, lineNumber);
  ++index_;
}

void SiteInfoCheck::checkFieldCount(std::string_view first, std::size_t fields, long lineNumber) {
  if (fields == headingCount_) return;
  const bool more = fields > headingCount_;
  std::string text = "Line: " + std::to_string(lineNumber);
  if (!first.empty()) (text += " Station: ") += first;
  // The form with a station has two blanks before "fields".
  text +=
      more ? (first.empty() ? " Has more fields (" : " Has more  fields (") : " Has fewer fields (";
  ((((text += count(fields)) += ") than the heading line (") += count(headingCount_)) += ")");
  error(more ? "long-line" : "short-line", std::move(text), lineNumber);
}

// A station listed twice would pair both lines of every other file with one station.
void SiteInfoCheck::checkRepeatedStation(std::string_view number, long lineNumber) {
  const auto [first, isNew] = lineOf_.emplace(number, lineNumber);
  if (isNew) return;
  error("duplicate-station",
        "Error: Station " + std::string(number) + " is on line " + std::to_string(first->second) +
            " and on line " + std::to_string(lineNumber) + " of " + fileName_,
        lineNumber, 1);
}

void SiteInfoCheck::checkStationNumber(long lineNumber) {
  const std::string& number = s_.StationNumbers[index_];
  if (s_.StationNumberValues[index_] == kNotWhole) {
    warning("station-number",
            "Line: " + std::to_string(lineNumber) + " Station Number Error: " + number, lineNumber,
            1);
    if (fnHasNonDigit(number, 0)) ++s_.LeadingCharStationCount;
    if (fnHasNonDigit(number, 2)) ++s_.InternalCharStationCount;
  } else if (number.size() == 7) {
    ++s_.SevenDigitStationCount;
    sevenDigitLines_.push_back({lineNumber, number, "0" + number,
                                "Line: " + std::to_string(lineNumber) + " Station: " + number});
  }
}

void SiteInfoCheck::checkColumns(const std::vector<std::string_view>& fields, long lineNumber) {
  const std::size_t n = fields.size();
  const std::string& number = s_.StationNumbers[index_];
  const auto at = [&](std::size_t column) { return fields[column - 1]; };
  const auto message = [&](const char* text) {
    return "Line: " + std::to_string(lineNumber) + text + number;
  };
  if (n >= 2) {
    s_.StationLatitudes[index_] = fnToDouble(at(2));
    if (s_.StationLatitudes[index_] == kNotNumber)
      warning("latitude", message(" Station Latitude Error: "), lineNumber, 2);
  }
  if (n >= 3) {
    s_.StationLongitudes[index_] = fnToDouble(at(3));
    if (s_.StationLongitudes[index_] == kNotNumber)
      warning("longitude", message(" Station Longitude Error: "), lineNumber, 3);
  }
  if (n >= 4 && fnToLong(at(4)) < 1)
    error("annual-series", message(" Annual Series Error: "), lineNumber, 4);
  if (n >= 5 && fnToLong(at(5)) != 1 && fnToLong(at(5)) != 2)
    warning("zero-flow-code", message(" Zero-NonZero Error: "), lineNumber, 5);
  if (n >= 6) {
    // Too large a value to round into 32 bits ends the check.
    const long frequency = roundToLong(fnToDouble(at(6)));
    if (frequency == kNotWhole)
      warning("zero-flow-frequency", message(" FreqZero Error: "), lineNumber, 6);
    else if (frequency < 0)
      warning("zero-flow-frequency",
              message(" FreqZero Error: value is less than zero for station: "), lineNumber, 6);
  }
  if (n >= 7 && fnToDouble(at(7)) == kNotNumber)
    warning("regional-skew", message(" Regional Skew Error: "), lineNumber, 7);
  if (n >= 8 && fnToLong(at(8)) != 1 && fnToLong(at(8)) != 2)
    error("record-code", message(" Cont-1:PR2: Error: "), lineNumber, 8);
}

void SiteInfoCheck::reportSevenDigitNumbers() {
  const long sevenDigits = s_.SevenDigitStationCount;
  if (sevenDigits < 1) return;
  station_.reset();
  const std::string text = "Warning: " + std::to_string(sevenDigits) + " station numbers in file " +
                           kBreak + fileName_ + kBreak +
                           "are seven-digits long. Please fix leading-zero digits." + kBreak +
                           "if you are using a spreadsheet to process data format the "
                           "station-number column as 'Text'.";
  // Shown in its own box, not in the report, but recorded like every problem.
  c_.found({fileName_,
            {},
            {},
            1,
            Severity::Warning,
            text,
            "seven-digit-stations",
            {},
            std::move(sevenDigitLines_)});
  outcome_.warningFlag = 1;
  c_.desktop.msgBox(text, kExclamation, "Station Number Format Problems");
}

}  // namespace

std::string fnSiteInfoHeading(int kind, int column) {
  if (kind != kSiteInfoKind || column < 0 || column >= static_cast<int>(kNamedColumns)) return {};
  return kSiteInfoHeadings[static_cast<std::size_t>(column)];
}

SiteInfoOutcome ReadSiteInfo(CheckContext& context, const std::string& fileName) {
  SiteInfoCheck check(context, fileName);
  // On a failure the report gathered so far is not shown.
  const auto failure = runCheckTrapped(context, fileName, "Sub ReadSiteInfo", [&] { check.run(); });
  if (!failure) return check.outcome();
  return {failure->number(), check.outcome().warningFlag};
}

}  // namespace tarvex
