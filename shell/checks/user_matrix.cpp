#include "checks/user_matrix.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>
#include <unordered_set>

#include "checks/check_progress.h"
#include "checks/check_trap.h"
#include "checks/report.h"
#include "checks/table_form.h"
#include "platform/error_trap.h"
#include "platform/standard_name.h"
#include "platform/text_file.h"
#include "tables/table_reader.h"
#include "tables/table_rules.h"

namespace tarvex {

namespace {

namespace fs = std::filesystem;
using std::to_string;

const std::string kCrLf(kLineBreak);

fs::path userWlsPath(const ShellState& state) {
  return resolveStandardName(state.WorkingDirectory, "USERWLS.txt");
}

// A sum as plain decimal text, as short as reads back to it.
std::string decimalText(double value) {
  char text[400];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  return ec == std::errc() ? std::string(text, end) : numberText(value);
}

long fieldCount(std::string_view line) {
  return line.empty() ? 0 : static_cast<long>(std::count(line.begin(), line.end(), '\t')) + 1;
}

// True when a heading stands for `station`: the same text, or the text that lost the
// station's leading zero.
bool hasHeadingFor(const std::unordered_set<std::string_view>& headings, std::string_view station) {
  if (headings.count(station)) return true;
  return !station.empty() && station.front() == '0' && headings.count(station.substr(1));
}

// The three passes over the matrix (its shape, then its headings, then its values) and the
// engine's copy of it are made in one reading, a line at a time: memory holds a line, the
// headings and the value errors, never the matrix. The values are read and the copy made
// as the lines pass; the value errors count only when the shape and the headings are
// sound, and the copy is kept only when no error was found.
class UserMatrixCheck {
 public:
  UserMatrixCheck(CheckContext& context, const std::string& fileName, bool hasHeadings)
      : context_(context),
        state_(context.state),
        fileName_(fileName),
        h_(hasHeadings ? 1 : 0),
        n_(context.state.StationCount),
        report_(context) {}

  void run();
  UserMatrixOutcome outcome;

 private:
  void readLine(std::string_view line, RewriteDraft& copy);
  void checkShape(long line, long fields);
  void keepHeadings(long line, std::string_view text);
  long readValues(long r, std::string_view line, RewriteDraft& copy);
  void writeCopyLine(std::string_view values, std::string& out);
  void valueError(long r, long j, double value, std::string_view field, std::string_view station);
  bool shapeIsSound();
  bool checkHeadings();
  void checkValues();
  void showReport();
  void writeEngineFile(RewriteDraft& copy);

  void error(const char* code, std::optional<long> line, std::optional<std::string> station,
             std::optional<int> field, std::string text, bool front = false,
             std::optional<std::string> expected = {});

  CheckContext& context_;
  ShellState& state_;
  const std::string& fileName_;
  const long h_;
  const long n_;
  Report report_;
  long errors_ = 0;
  long lines_ = 0;            // lines read so far
  bool shapeErrors_ = false;  // after one, the values are no longer read
  bool makeCopy_ = false;     // the run keeps what the copy holds
  std::vector<std::string> rowHeadings_, columnHeadings_;
  std::vector<Finding> valueErrors_;
  double diagonal_ = 0;
};

void UserMatrixCheck::error(const char* code, std::optional<long> line,
                            std::optional<std::string> station, std::optional<int> field,
                            std::string text, bool front, std::optional<std::string> expected) {
  Finding finding{fileName_,       line, std::move(station), field, Severity::Error,
                  std::move(text), code, std::move(expected)};
  if (front)
    report_.addFront(std::move(finding));
  else
    report_.add(std::move(finding));
  outcome.Status = kProblemsFound;
  ++errors_;
}

void UserMatrixCheck::run() {
  // No station leaves no matrix to size.
  if (n_ < 1 || static_cast<long>(state_.StationNumbers.size()) <= n_)
    throw RunTimeError(err::kSubscriptOutOfRange);
  if (!checkTableForm(context_, fileName_)) {
    outcome.Status = kProblemsFound;
    return;
  }
  TableReader table = context_.readTable(context_.dataFile(fileName_));
  RewriteDraft copy = context_.startRewrite(userWlsPath(state_));
  makeCopy_ = copy.mode() != RewriteDraft::Mode::Discard;
  {
    // Told only while the lines are read: the boxes that follow show the status as it was.
    CheckProgress progress(context_.report, fileName_, table.size());
    for (std::string_view line; table.next(line);) {
      readLine(line, copy);
      progress.at(table.consumed());
    }
  }
  if (shapeIsSound() && (h_ == 0 || checkHeadings())) checkValues();
  showReport();
  if (errors_ == 0) writeEngineFile(copy);
}

void UserMatrixCheck::readLine(std::string_view line, RewriteDraft& copy) {
  const long number = ++lines_;
  if (h_ == 1) keepHeadings(number, line);
  const long r = number - 1 - h_;  // data rows count from 0
  // The values are read while the shape is sound, counting the fields as they go.
  const bool hasValues = !line.empty() && (h_ == 0 || line.find('\t') != std::string_view::npos);
  if (r >= 0 && r < n_ && !shapeErrors_ && hasValues)
    checkShape(number, readValues(r, line, copy) - h_);
  else
    checkShape(number, fieldCount(line) - h_);
}

// Pass 1: every line n fields wide and n lines long (headings add one to both).
void UserMatrixCheck::checkShape(long line, long f) {
  if (f == n_) return;
  shapeErrors_ = true;
  error(f > n_ ? "long-line" : "short-line", line, {}, {},
        "Error Line: " + to_string(line) +
            (f > n_ ? " Has more data fields (" : " Has fewer data fields (") + to_string(f) +
            ") than stations in the SiteInfo file: (" + to_string(n_) + ") This is a fatal error.");
}

bool UserMatrixCheck::shapeIsSound() {
  const long dataLines = lines_ - h_;
  if (dataLines != n_) {
    error("line-count", {}, {}, {},
          "Error: the file has " + to_string(dataLines) +
              (dataLines > n_ ? " data lines, which is more than the number "
                              : " data lines, which is less than the number ") +
              "of stations in the SiteInfo file: (" + to_string(n_) + ") This is a fatal error.");
  }
  if (errors_ == 0) return true;
  report_.addLineFront("Please make sure your station-number heading selection is correct. ");
  report_.addLineFront("Errors in the number of columns or rows preclude more detailed checks.");
  return false;
}

// The heading row's stations, and each data line's first field, for pass 2.
void UserMatrixCheck::keepHeadings(long line, std::string_view text) {
  if (line > 1) {
    columnHeadings_.emplace_back(text.substr(0, text.find('\t')));
    return;
  }
  std::vector<std::string_view> fields;
  splitFieldsInto(text, fields);
  for (std::size_t c = 1; c < fields.size(); ++c) rowHeadings_.emplace_back(fields[c]);
}

// Pass 2: every station somewhere in the heading row and in the heading column.
bool UserMatrixCheck::checkHeadings() {
  const std::unordered_set<std::string_view> row(rowHeadings_.begin(), rowHeadings_.end());
  const std::unordered_set<std::string_view> column(columnHeadings_.begin(), columnHeadings_.end());
  for (long i = 1; i <= n_; ++i) {
    const std::string& station = state_.StationNumbers[i];
    if (!hasHeadingFor(row, station))
      error("station-not-in-heading-row", 1, {}, {},
            "Error: the station " + station + " does not exist in the (first) heading row.", true,
            station);
    if (!hasHeadingFor(column, station))
      error("station-not-in-heading-column", {}, {}, 1,
            "Error: the station " + station + " does not exist in the  (first) heading column.",
            true, station);
  }
  if (errors_ == 0) return true;
  report_.addLineFront("We cannot check errors in the diagonals if the station numbers are off");
  report_.addLineFront("Please make sure your station data is in the correct order. ");
  report_.addLineFront("Errors in the order of station numbers in the rows/or and columns.");
  return false;
}

// Data row r's values, read for pass 3, and its line of the copy; returns how many fields
// the line has. A row whose every value is written as the copy writes it is copied as it
// stands.
long UserMatrixCheck::readValues(long r, std::string_view line, RewriteDraft& copy) {
  const std::string_view station = line.substr(0, h_ == 1 ? line.find('\t') : 0);
  const std::string_view values = line.substr(station.size() + h_);  // past the station's tab
  const char* const end = values.data() + values.size();
  const char* p = values.data();
  bool asItStands = true;
  long j = h_;
  for (;; ++j) {
    const char* const start = p;
    // A value written as the copy writes it, and not negative, needs no reading to be
    // checked; the diagonal's value is read all the same.
    const bool shortest = skipShortestField(p, end);
    const std::string_view field(start, static_cast<std::size_t>(p - start));
    if (shortest) {
      if (j == r + h_) diagonal_ += fnToDouble(field);
    } else {
      asItStands = false;
      const double value = fnToDouble(field);
      if (j == r + h_ && value != kNotNumber) diagonal_ += value;
      if (value == kNotNumber || value < 0) valueError(r, j, value, field, station);
    }
    if (p == end) break;
    ++p;
  }
  const long fields = j + 1;
  if (!makeCopy_ || fields != n_ + h_) return fields;
  if (asItStands) {
    copy.append(values);
  } else {
    writeCopyLine(values, copy.text());
  }
  // No empty line after the last row: the matrix check would count it as a short row.
  copy.append(kCrLf);
  return fields;
}

// A row of the copy: each value as numberText writes it, separated by tabs.
void UserMatrixCheck::writeCopyLine(std::string_view values, std::string& out) {
  const char* const end = values.data() + values.size();
  char text[kLongestNumberText];
  for (const char* p = values.data();; ++p) {
    const char* const start = p;
    if (skipShortestField(p, end))
      out.append(start, p);
    else
      out.append(text, writeNumberText(text, fnToDouble(std::string_view(
                                                 start, static_cast<std::size_t>(p - start)))));
    if (p == end) break;
    out += '\t';
  }
}

// A value of field j of data row r (both from 0) that is not a number, or negative.
void UserMatrixCheck::valueError(long r, long j, double value, std::string_view field,
                                 std::string_view station) {
  const long c = h_ == 1 ? j : j + 1;
  const char* what = value == kNotNumber ? " has a nonnumeric value: " : " has a negative value: ";
  // The text counts data rows from 0; the finding points at the line of the file.
  valueErrors_.push_back(Finding{
      fileName_, r + 1 + h_, h_ == 1 ? std::optional<std::string>(station) : std::nullopt,
      static_cast<int>(j + 1), Severity::Error,
      "Error Line: " + to_string(r) + " Column: " + to_string(c) + what + std::string(field),
      value == kNotNumber ? "not-a-number" : "negative-value"});
}

// Pass 3: every value a number and not negative; the diagonal near one per station.
void UserMatrixCheck::checkValues() {
  for (Finding& finding : valueErrors_) {
    report_.add(std::move(finding));
    outcome.Status = kProblemsFound;
    ++errors_;
  }
  valueErrors_.clear();
  if (std::nearbyint(diagonal_ / static_cast<double>(n_)) == 1) return;
  const std::string text = "Warning: The sum of matrix diagonals (" + decimalText(diagonal_) +
                           ") should sum to the number of stations (" + to_string(n_) + ")";
  report_.add(Finding{fileName_, std::nullopt, std::nullopt, std::nullopt, Severity::Warning, text,
                      "diagonal-sum"});
}

void UserMatrixCheck::showReport() {
  if (report_.length() <= 2) return;
  report_.addLineFront(fileName_ + " file problems: ");
  // The report itself counts as a problem of the file.
  context_.found(
      {fileName_, {}, {}, {}, Severity::Warning, fileName_ + " file problems: ", "file-report"});
  context_.showReport(report_.text());
}

void UserMatrixCheck::writeEngineFile(RewriteDraft& copy) {
  // Names that differ in case are one file where the data comes from, so the question
  // is asked whenever the copy would land on the headed matrix itself.
  std::error_code ec;
  if (h_ == 1 && fs::equivalent(userWlsPath(state_), context_.dataFile(fileName_), ec)) {
    // A headed line has one field more than any line of the copy: every line changes.
    const MsgAnswer answer = context_.desktop.msgBox(
        "TARVEX shell will overwrite your USERWLS.txt file, which contains heading lines." + kCrLf +
            "Do you want to proceed?" + kCrLf +
            linesWouldChange(static_cast<std::size_t>(lines_), "USERWLS.txt"),
        kYesNo, "Overwrite USERWLS.txt:");
    if (answer != MsgAnswer::Yes) return;
  }
  const auto failure = MakeUSERWLStxt(context_, copy);
  if (!failure) return;
  outcome.Status = failure->number();
  const std::string text = "Please inspect the USERWLS.txt file for problems";
  context_.desktop.msgBox(text, kCritical, "User-Defined Matrix Problem:");
  context_.found({fileName_, {}, {}, {}, Severity::Error, text, "matrix-copy-failed"});
  context_.report.disableSteps();
}

}  // namespace

UserMatrixOutcome SubReadUserWLS(CheckContext& context, const std::string& fileName,
                                 bool hasHeadings) {
  UserMatrixCheck check(context, fileName, hasHeadings);
  if (auto error = runCheckTrapped(context, fileName, "Sub SubReadUserWLS", [&] { check.run(); }))
    check.outcome.Status = error->number();
  return check.outcome;
}

std::optional<RunTimeError> MakeUSERWLStxt(CheckContext& context, RewriteDraft& copy) {
  return withErrorBox(context.desktop, TrapText::Typed,
                      "Error: MakeUSERWLStxt:", [&] { context.finishRewrite(copy); });
}

}  // namespace tarvex
