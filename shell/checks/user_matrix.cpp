#include "checks/user_matrix.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>
#include <unordered_set>

#include "checks/check_trap.h"
#include "checks/report.h"
#include "checks/table_form.h"
#include "checks/table_rules.h"
#include "platform/error_trap.h"
#include "platform/standard_name.h"
#include "platform/text_file.h"
#include "platform/unified_diff.h"

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
  bool checkShape();
  bool checkHeadings();
  void checkValues();
  void checkCell(UserMatrix& matrix, long r, long j, double value, std::string_view field,
                 std::string_view station, double& diagonal);
  void showReport();
  void writeEngineFile();

  void error(const char* code, std::optional<long> line, std::optional<std::string> station,
             std::optional<int> field, std::string text, bool front = false,
             std::optional<std::string> expected = {});

  CheckContext& context_;
  ShellState& state_;
  const std::string& fileName_;
  const long h_;
  const long n_;
  Report report_;
  std::string bytes_;
  std::vector<std::string_view> lines_;
  std::optional<UserMatrix> matrix_;
  long errors_ = 0;
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
  bytes_ = context_.readFile(context_.dataFile(fileName_));
  lines_ = splitLineViews(bytes_);

  if (checkShape() && (h_ == 0 || checkHeadings())) checkValues();
  showReport();
  if (errors_ == 0) writeEngineFile();
}

// Pass 1: every line n fields wide and n lines long (headings add one to both).
bool UserMatrixCheck::checkShape() {
  const std::string stations = to_string(n_);
  for (std::size_t index = 0; index < lines_.size(); ++index) {
    const long f = fieldCount(lines_[index]) - h_;
    if (f == n_) continue;
    const long line = static_cast<long>(index) + 1;
    error(f > n_ ? "long-line" : "short-line", line, {}, {},
          "Error Line: " + to_string(line) +
              (f > n_ ? " Has more data fields (" : " Has fewer data fields (") + to_string(f) +
              ") than stations in the SiteInfo file: (" + stations + ") This is a fatal error.");
  }
  const long dataLines = static_cast<long>(lines_.size()) - h_;
  if (dataLines != n_) {
    error("line-count", {}, {}, {},
          "Error: the file has " + to_string(dataLines) +
              (dataLines > n_ ? " data lines, which is more than the number "
                              : " data lines, which is less than the number ") +
              "of stations in the SiteInfo file: (" + stations + ") This is a fatal error.");
  }
  if (errors_ == 0) return true;
  report_.addLineFront("Please make sure your station-number heading selection is correct. ");
  report_.addLineFront("Errors in the number of columns or rows preclude more detailed checks.");
  return false;
}

// Pass 2: every station somewhere in the heading row and in the heading column.
bool UserMatrixCheck::checkHeadings() {
  std::unordered_set<std::string_view> row, column;
  std::vector<std::string_view> fields;
  splitFieldsInto(lines_[0], fields);
  for (long c = 1; c <= n_; ++c) row.insert(fields[c]);
  for (long r = 1; r <= n_; ++r) {
    const std::string_view line = lines_[r];
    column.insert(line.substr(0, line.find('\t')));
  }

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

// Pass 3: every value a number and not negative; the diagonal near one per station.
void UserMatrixCheck::checkValues() {
  matrix_.emplace(n_);
  UserMatrix& matrix = *matrix_;
  double diagonal = 0;
  for (std::size_t index = h_; index < lines_.size(); ++index) {
    const long r = static_cast<long>(index) - h_;
    const std::string_view line = lines_[index];
    if (line.empty()) continue;
    const std::string_view station = line.substr(0, h_ == 1 ? line.find('\t') : 0);
    const char* const end = line.data() + line.size();
    const char* p = line.data() + station.size();
    if (h_ == 1) {
      if (p == end) continue;
      ++p;  // past the station's tab
    }
    for (long j = h_;; ++j) {
      const char* const start = p;
      const double value = fnToDoubleField(p, end);
      const std::string_view field(start, static_cast<std::size_t>(p - start));
      checkCell(matrix, r, j, value, field, station, diagonal);
      if (p == end) break;
      ++p;
    }
  }

  if (std::nearbyint(diagonal / static_cast<double>(n_)) == 1) return;
  const std::string text = "Warning: The sum of matrix diagonals (" + decimalText(diagonal) +
                           ") should sum to the number of stations (" + to_string(n_) + ")";
  report_.add(Finding{fileName_, std::nullopt, std::nullopt, std::nullopt, Severity::Warning, text,
                      "diagonal-sum"});
}

// Field j of data row r (both from 0), read as `value`.
void UserMatrixCheck::checkCell(UserMatrix& matrix, long r, long j, double value,
                                std::string_view field, std::string_view station,
                                double& diagonal) {
  if (j == r + h_ && value != kNotNumber) diagonal += value;
  const long c = h_ == 1 ? j : j + 1;
  if (c > n_ || r + 1 > n_) return;
  matrix(r + 1, c) = value;
  if (value != kNotNumber && value >= 0) return;
  const char* what = value == kNotNumber ? " has a nonnumeric value: " : " has a negative value: ";
  // The text counts data rows from 0; the finding points at the line of the file.
  error(value == kNotNumber ? "not-a-number" : "negative-value", r + 1 + h_,
        h_ == 1 ? std::optional<std::string>(station) : std::nullopt, static_cast<int>(j + 1),
        "Error Line: " + to_string(r) + " Column: " + to_string(c) + what + std::string(field));
}

void UserMatrixCheck::showReport() {
  if (report_.length() <= 2) return;
  report_.addLineFront(fileName_ + " file problems: ");
  // The report itself counts as a problem of the file.
  context_.found(
      {fileName_, {}, {}, {}, Severity::Warning, fileName_ + " file problems: ", "file-report"});
  context_.showReport(report_.text());
}

void UserMatrixCheck::writeEngineFile() {
  // Names that differ in case are one file where the data comes from, so the question
  // is asked whenever the copy would land on the headed matrix itself.
  std::error_code ec;
  if (h_ == 1 && fs::equivalent(userWlsPath(state_), context_.dataFile(fileName_), ec)) {
    const std::size_t changed = changedLines(bytes_, userMatrixText(*matrix_));
    const MsgAnswer answer = context_.desktop.msgBox(
        "TARVEX shell will overwrite your USERWLS.txt file, which contains heading lines." + kCrLf +
            "Do you want to proceed?" + kCrLf + linesWouldChange(changed, "USERWLS.txt"),
        kYesNo, "Overwrite USERWLS.txt:");
    if (answer != MsgAnswer::Yes) return;
  }
  const auto failure = MakeUSERWLStxt(context_, *matrix_);
  if (!failure) return;
  outcome.Status = failure->number();
  const std::string text = "Please inspect the USERWLS.txt file for problems";
  context_.desktop.msgBox(text, kCritical, "User-Defined Matrix Problem:");
  context_.found({fileName_, {}, {}, {}, Severity::Error, text, "matrix-copy-failed"});
  context_.report.disableSteps();
}

}  // namespace

UserMatrix::UserMatrix(long n)
    : n_(n), cells_(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), kNotNumber) {}

UserMatrixOutcome SubReadUserWLS(CheckContext& context, const std::string& fileName,
                                 bool hasHeadings) {
  UserMatrixCheck check(context, fileName, hasHeadings);
  if (auto error = runCheckTrapped(context, fileName, "Sub SubReadUserWLS", [&] { check.run(); }))
    check.outcome.Status = error->number();
  return check.outcome;
}

std::string userMatrixText(const UserMatrix& matrix) {
  const long n = matrix.size();
  std::string text;
  text.reserve(static_cast<std::size_t>(n) * static_cast<std::size_t>(n) * 4 + 2);
  for (long r = 1; r <= n; ++r) {
    for (long c = 1; c <= n; ++c) {
      appendNumberText(text, matrix(r, c));
      if (c < n) text += '\t';
    }
    text += kCrLf;
  }
  // No empty line after the last row: the matrix check would count it as a short row.
  return text;
}

std::optional<RunTimeError> MakeUSERWLStxt(CheckContext& context, const UserMatrix& matrix) {
  return withErrorBox(context.desktop, TrapText::Typed, "Error: MakeUSERWLStxt:", [&] {
    context.writeFile(userWlsPath(context.state), userMatrixText(matrix));
  });
}

}  // namespace tarvex
