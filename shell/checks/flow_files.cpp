#include "checks/flow_files.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "checks/annual_flow_file.h"
#include "checks/check_progress.h"
#include "checks/report.h"
#include "platform/error_trap.h"
#include "platform/standard_name.h"
#include "platform/text_file.h"

namespace tarvex {

namespace fs = std::filesystem;

namespace {

// The data folder's file names in byte order, so that the file a station gets does not
// depend on the order the file system happens to list them in.
std::vector<std::string> sortedFileNames(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_regular_file(typeError)) names.push_back(it->path().filename().string());
  }
  if (ec) throw fromErrorCode(ec, true);
  std::sort(names.begin(), names.end());
  return names;
}

// One of the two reports, under its heading and with a blank line after it, when it
// has any line. The pointer is the arrow while the counts change.
void showFlowReport(CheckContext& context, Report& report, const std::string& heading) {
  if (report.length() == 0) return;
  report.addLineFront(heading);
  report.addLine("");
  context.desktop.setBusy(false);
  context.showReport(report.text());
  context.desktop.setBusy(true);
}

void checkFlowFiles(CheckContext& context, FlowFilesResult& result) {
  ShellState& state = context.state;
  const fs::path folder =
      state.WorkingDirectory.empty() ? fs::path(".") : fs::path(state.WorkingDirectory);
  const long stationCount = state.StationCount;
  std::vector<bool> found(static_cast<std::size_t>(stationCount) + 1, false);
  state.FlowFileNames.assign(found.size(), "");

  // A name holds a station when some part of it, of the number's length, is the number:
  // look its parts up instead of searching it for every station.
  std::unordered_map<std::string_view, std::vector<long>> stationsByNumber;
  std::set<std::size_t> numberLengths;
  for (long i = 1; i <= stationCount; ++i) {
    const std::string& number = state.StationNumbers.at(i);
    stationsByNumber[number].push_back(i);
    numberLengths.insert(number.size());
  }
  for (const std::string& name : sortedFileNames(folder)) {
    if (!fnNameHasDOVL(name)) continue;
    const std::string_view whole(name);
    for (std::size_t length : numberLengths) {
      for (std::size_t at = 0; at + length <= whole.size(); ++at) {
        const auto match = stationsByNumber.find(whole.substr(at, length));
        if (match == stationsByNumber.end()) continue;
        for (long i : match->second) {
          if (found[i]) continue;
          state.FlowFileNames[i] = name;
          found[i] = true;
          state.FlowFilesChecked = true;
        }
      }
    }
  }

  const long waterYear = currentWaterYear(context.desktop.today());
  Report errors(context);
  Report warnings(context);
  RewriteDraft compilation =
      context.startRewrite(resolveStandardName(folder, kCompilationFileName));
  {
    // Told only while the files are read: the reports that follow show the status as it was.
    CheckProgress progress(context.report, "the annual flow files",
                           static_cast<std::uint64_t>(stationCount));
    for (long i = 1; i <= stationCount; ++i) {
      progress.at(static_cast<std::uint64_t>(i));
      const std::string& station = state.StationNumbers.at(i);
      if (!found[i]) {
        ++result.MissingCount;
        errors.add(Finding{
            state.SiteInfoFileName, std::nullopt, station, std::nullopt, Severity::Error,
            "Error: Station: " + station +
                " has no Annual-Time Series Flow file in directory: " + state.WorkingDirectory,
            "missing-flow-file"});
        continue;
      }
      const std::string& name = state.FlowFileNames[i];
      AnnualFlowResult file = TestAnnualFlowFile(context.dataFile(name), waterYear);
      for (Finding& finding : file.findings) {
        finding.station = station;
        (finding.severity == Severity::Error ? errors : warnings).add(std::move(finding));
      }
      // A file with problems counts once more, as a file.
      if (file.ErrFlag != 0)
        context.found({name,
                       {},
                       station,
                       {},
                       Severity::Error,
                       name + " has " + std::to_string(file.ErrFlag) +
                           " error lines; they are left out of the compilation file",
                       "flow-file-errors"});
      if (file.WarnFlag != 0)
        context.found({name,
                       {},
                       station,
                       {},
                       Severity::Warning,
                       name + " has " + std::to_string(file.WarnFlag) + " warnings",
                       "flow-file-warnings"});
      if (file.OutText.size() > 7) {
        compilation.append(file.OutText);
        compilation.append(kLineBreak);
      }
    }
  }
  context.finishRewrite(compilation);

  showFlowReport(context, errors, "Q File Errors: ");
  showFlowReport(context, warnings, "Q File Warnings: ");
  state.FlowFilesChecked = true;
}

}  // namespace

FlowFilesResult CheckFlowFiles(CheckContext& context) {
  FlowFilesResult result;
  result.failure = trapped([&] { checkFlowFiles(context, result); });
  if (result.failure) {
    context.state.FlowFilesChecked = false;
    // Counted, so that a check that could not finish never lets Step 2 end as clean.
    context.found({kCompilationFileName,
                   {},
                   {},
                   {},
                   Severity::Error,
                   trapMessage(TrapText::Sub, *result.failure),
                   "check-failed"});
    context.desktop.msgBox(trapMessage(TrapText::Sub, *result.failure), kCritical,
                           "Sub CheckFlowFiles");
  }
  return result;
}

}  // namespace tarvex
