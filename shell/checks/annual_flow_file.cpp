#include "checks/annual_flow_file.h"

#include <optional>
#include <utility>

#include "platform/error_trap.h"
#include "platform/run_time_error.h"
#include "platform/text_file.h"
#include "tables/table_reader.h"
#include "tables/table_rules.h"

namespace tarvex {

namespace {

// Years of a series before this one are out of range.
constexpr long kFirstFlowYear = 1879;

std::string linesOf(const std::vector<Finding>& findings, Severity severity) {
  std::string text;
  for (const Finding& finding : findings)
    if (finding.severity == severity) (text += finding.text) += kLineBreak;
  return text;
}

// The checks of one file, a line at a time. Reading a field the line does not have
// is a failure, as it ends the whole file's check.
class FlowLineChecker {
 public:
  FlowLineChecker(std::string name, long waterYear, AnnualFlowResult& result)
      : name_(std::move(name)), waterYear_(waterYear), result_(result) {}

  long lineNumber() const { return lineNumber_; }

  void check(std::string_view line) {
    ++lineNumber_;
    if (lineNumber_ > kMostFlowFileLines)
      throw RunTimeError(err::kOverflow, "Overflow: the check counts at most " +
                                             std::to_string(kMostFlowFileLines) + " lines; line " +
                                             std::to_string(kMostFlowFileLines + 1) +
                                             " and the lines after it are not checked");
    lineErrors_ = 0;
    splitFieldsInto(line, fields_);
    // The texts are made only for a line with a problem: most lines have none.
    if (fields_.size() != 3) {
      const std::string count = std::to_string(fields_.size());
      if (fields_.size() < 3)
        error("short-line",
              " Line " + number() + " only " + count + " columns. There should be 3 columns");
      else
        warning("long-line", " Line " + number() + " there are " + count +
                                 " columns. There should be 3 columns");
    }
    checkYear();
    checkFlow();
    if (lineErrors_ > 0) return;
    if (!fnHasNonDigit(field(1), 0)) result_.OutText += "DOVL";
    (result_.OutText += line) += kLineBreak;
  }

 private:
  std::string number() const { return std::to_string(lineNumber_); }

  std::string_view field(std::size_t column) const {
    if (column > fields_.size()) throw RunTimeError(err::kSubscriptOutOfRange);
    return fields_[column - 1];
  }

  void checkYear() {
    const std::string_view text = field(2);
    const long year = fnToLong(text);
    if (year == kNotWhole && text != "-9999")
      error("year-not-a-number",
            " Line " + number() + " " + std::string(text) + " year is not a numeric year value.",
            2);
    else if (year == kNotWhole)
      warning("year-9999", " Line " + number() + " a value of -9999 is in the year column.", 2);
    else if (year < kFirstFlowYear || year > waterYear_)
      warning("year-out-of-range",
              "Line " + number() + " " + std::string(text) + " year is outside the range " +
                  std::to_string(kFirstFlowYear) + " to " + std::to_string(waterYear_),
              2);
    if (year <= 0) error("year-not-positive", " Line " + number() + " year<= 0", 2);

    // An unusable year counts as 0, so the line after it is not compared with it.
    const long thisYear = year > 0 ? year : 0;
    if (lineNumber_ == 1) {
      lastYear_ = thisYear;
      return;
    }
    const auto now = [&] { return std::to_string(thisYear); };
    const auto last = [&] { return std::to_string(lastYear_); };
    if (thisYear > 0) {
      if (lastYear_ > thisYear)
        error("year-before-last",
              " Line " + number() + " this year " + now() + " is before last year: " + last(), 2);
      else if (lastYear_ == thisYear)
        error("year-repeated",
              " Line " + number() + " year " + now() + " = last year " + last() +
                  " there are two or more values for this year.",
              2);
      else if (thisYear - lastYear_ > 1)
        warning("years-missing",
                " Line " + number() + " last year: " + last() + " this year: " + now() +
                    " there are one or more missing values",
                2);
    }
    lastYear_ = thisYear;
  }

  void checkFlow() {
    const std::string_view text = field(3);
    const double flow = fnToDouble(text);
    if (flow == kNotNumber && text != "-99999")
      error("flow-not-a-number", " Line " + number() + " nonnumeric flow value", 3);
    else if (text == "-99999")
      error("flow-99999", " Line " + number() + " the flow value equals -99999", 3);
    else if (flow < 0)
      error("negative-flow",
            " Line " + number() + " the flow value is less than zero: " + std::string(text) + " Q",
            3);
  }

  void error(const char* code, const std::string& text, std::optional<int> column = std::nullopt) {
    ++result_.ErrFlag;
    ++lineErrors_;
    record(Severity::Error, code, text, column);
  }

  void warning(const char* code, const std::string& text,
               std::optional<int> column = std::nullopt) {
    ++result_.WarnFlag;
    record(Severity::Warning, code, text, column);
  }

  void record(Severity severity, const char* code, const std::string& text,
              std::optional<int> column) {
    result_.findings.push_back(
        Finding{name_, lineNumber_, std::nullopt, column, severity, name_ + text, code});
  }

  const std::string name_;
  const long waterYear_;
  AnnualFlowResult& result_;
  long lineNumber_ = 0;
  long lastYear_ = 0;
  int lineErrors_ = 0;
  std::vector<std::string_view> fields_;
};

}  // namespace

long currentWaterYear(const CalendarDate& today) { return today.year + (today.month > 9 ? 1 : 0); }

bool fnNameHasDOVL(std::string_view Name) { return Name.find("DOVL") != std::string_view::npos; }

bool fnNameHasStation(std::string_view Station, std::string_view Name) {
  return Station.size() <= Name.size() && Name.find(Station) != std::string_view::npos;
}

std::string AnnualFlowResult::ErrText() const { return linesOf(findings, Severity::Error); }

std::string AnnualFlowResult::WarnText() const { return linesOf(findings, Severity::Warning); }

AnnualFlowResult TestAnnualFlowFile(const std::filesystem::path& file, long waterYear) {
  AnnualFlowResult result;
  const std::string name = file.filename().string();
  FlowLineChecker checker(name, waterYear, result);
  const auto failure = trapped([&] {
    TableReader table(file);
    for (std::string_view line; table.next(line);) checker.check(line);
  });
  if (!failure) {
    // Drop the line break after the last usable line.
    if (result.OutText.size() > 2) result.OutText.resize(result.OutText.size() - 2);
    return result;
  }
  ++result.ErrFlag;
  // The line it stopped at, when it stopped inside the file.
  const long line = checker.lineNumber();
  result.findings.push_back(
      Finding{name, line > 0 ? std::optional<long>(line) : std::nullopt, std::nullopt, std::nullopt,
              Severity::Error,
              "TestAnnualFlowFile subroutine error: " + std::to_string(failure->number()) + " " +
                  failure->description(),
              "check-failed"});
  return result;
}

}  // namespace tarvex
