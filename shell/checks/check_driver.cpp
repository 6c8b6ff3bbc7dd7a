#include "checks/check_driver.h"

#include <array>
#include <string>
#include <vector>

#include "checks/fix_site_info.h"
#include "checks/flow_files.h"
#include "checks/report.h"
#include "checks/site_info.h"
#include "checks/station_file.h"
#include "checks/user_matrix.h"
#include "platform/text_file.h"

namespace tarvex {

namespace {

const std::string kBreak(kLineBreak);
constexpr const char* kIncomplete =
    "TARVEX will not operate until all the input files are complete and correct.";
constexpr const char* kGoOn = "Do you want to continue checking the other input files?";

// One of the four files matched line by line with the station list, in checking order.
struct StationFile {
  const char* status;
  int kind;
  std::string ShellState::*name;
  const char* label;  // as the boxes name the file
};

constexpr std::array<StationFile, 4> kStationFiles = {{
    {"Check FlowChar", kFlowCharFile, &ShellState::FlowCharFileName, "FlowChar"},
    {"Check LP3G", kLP3GFile, &ShellState::LP3GFileName, "LP3G"},
    {"Check LP3K", kLP3KFile, &ShellState::LP3KFileName, "LP3K"},
    {"Check LP3s", kLP3sFile, &ShellState::LP3sFileName, "LP3s"},
}};

bool yes(Desktop& desktop, const std::string& prompt, const std::string& title) {
  return desktop.msgBox(prompt, kYesNo, title) == MsgAnswer::Yes;
}

class CheckRun {
 public:
  CheckRun(CheckContext& context, CheckDriverWindow& window, const CheckOptions& options)
      : c_(context),
        s_(context.state),
        desktop_(context.desktop),
        window_(window),
        options_(options) {}

  CheckRunEnd run();

 private:
  bool checkSiteInfo();
  std::vector<FindingItem> repairedNumbers() const;
  bool checkStationFiles();
  bool checkUserMatrix();
  bool checkFlowFiles();
  void decide();
  bool matrixFollows() const;

  CheckContext& c_;
  ShellState& s_;
  Desktop& desktop_;
  CheckDriverWindow& window_;
  const CheckOptions& options_;
};

CheckRunEnd CheckRun::run() {
  if (yes(desktop_,
          "Warning: The QA/QC process can over-write your input files." + kBreak +
              "You may want to make back-up copies before proceeding." + kBreak +
              "Do you want to pause and make backup copies?",
          "Pause for Backup Copies?"))
    return CheckRunEnd::PausedForBackup;
  if (!checkSiteInfo()) return CheckRunEnd::SiteInfoErrors;
  window_.UpdateStationListBox();
  if (!checkStationFiles()) return CheckRunEnd::StoppedByUser;
  if (options_.userMatrix && !trimBlanks(s_.UserWLSFileName).empty()) s_.UseUserMatrix = true;
  if (options_.matrixHeadings) s_.UserMatrixHasHeadings = true;
  if (!checkUserMatrix()) return CheckRunEnd::StoppedByUser;
  if (!checkFlowFiles()) return CheckRunEnd::FlowFilesMissing;
  decide();
  return CheckRunEnd::Completed;
}

// Reads the site information file until its station numbers settle: after each repair
// the user accepts, the file is rewritten and read again.
bool CheckRun::checkSiteInfo() {
  SiteInfoOutcome site;
  int rewriteResult = 0;
  std::vector<std::string> rewrittenList;  // the numbers as read before the last rewrite
  while (true) {
    c_.report.setStatus("Load SiteInfo");
    site = ReadSiteInfo(c_, s_.SiteInfoFileName);
    if (s_.SevenDigitStationCount < 1 && s_.LeadingCharStationCount < 1 &&
        s_.InternalCharStationCount < 1)
      break;
    // A rewrite that changed nothing would only bring the same repair round again.
    if (!rewrittenList.empty() && s_.StationNumbersAsRead == rewrittenList) break;
    s_.StationIDsFixed = false;
    window_.showStationRepair();
    if (!s_.StationIDsFixed) break;
    std::vector<FindingItem> repaired = repairedNumbers();
    const std::size_t repairedCount = repaired.size();
    c_.found({s_.SiteInfoFileName,
              {},
              {},
              1,
              Severity::Warning,
              "Site numbers were corrected",
              "station-numbers-repaired",
              {},
              std::move(repaired)});
    if (!yes(desktop_,
             "Site numbers were corrected do you want to update the SiteInfo File?" + kBreak +
                 linesWouldChange(repairedCount, s_.SiteInfoFileName),
             "Fix station numbers?"))
      break;
    rewrittenList = s_.StationNumbersAsRead;
    rewriteResult = FixSiteInfo(c_, s_.SiteInfoFileName).result;
    // A rewrite that failed has said so once; the file is as it was.
    if (rewriteResult != 0 && rewriteResult != kLinesLeftOut) break;
  }
  if (site.errorFlag != 0 || rewriteResult != 0) {
    c_.found({s_.SiteInfoFileName,
              {},
              {},
              {},
              Severity::Error,
              "Please fix errors in " + s_.SiteInfoFileName + " then re-run the shell program.",
              "site-info-errors"});
    desktop_.msgBox("Please fix errors in " + kBreak + s_.SiteInfoFileName + kBreak +
                        "then re-run the shell program. ",
                    kCritical, "Error:");
    c_.report.disableSteps();
    return false;
  }
  if (site.warningFlag != 0)
    desktop_.msgBox("Please check the information in " + kBreak + s_.SiteInfoFileName + kBreak +
                        "You may want to exit, edit the file, and then re-run the shell "
                        "program. ",
                    kInformation, "Warning:");
  else
    window_.showSiteInfoFile();
  return true;
}

// The station numbers the repair form changed, as read and as repaired.
std::vector<FindingItem> CheckRun::repairedNumbers() const {
  std::vector<FindingItem> changed;
  for (long i = 1; i <= s_.StationCount; ++i)
    if (s_.StationNumbers[i] != s_.StationNumbersAsRead[i])
      changed.push_back({std::nullopt, s_.StationNumbersAsRead[i], s_.StationNumbers[i],
                         s_.StationNumbersAsRead[i] + " -> " + s_.StationNumbers[i]});
  return changed;
}

bool CheckRun::matrixFollows() const {
  return (options_.userMatrix && !trimBlanks(s_.UserWLSFileName).empty()) || s_.UseUserMatrix;
}

bool CheckRun::checkStationFiles() {
  for (const StationFile& file : kStationFiles) {
    const std::string& name = s_.*file.name;
    const std::string label = file.label;
    c_.report.setStatus(file.status);
    desktop_.setBusy(true);
    const StationFileOutcome outcome = ReadStationFile(c_, name, file.kind);
    desktop_.setBusy(false);
    if (outcome.errorFlag != 0) {
      c_.report.showCounts();
      const bool last = file.kind == kLP3sFile && !matrixFollows();
      const std::string question =
          last ? "Do you want to checking for the existence of all the annual-time-series files?"
               : kGoOn;
      if (!yes(desktop_,
               "Error: There were problems with the " + label + " file: " + name + kBreak +
                   kIncomplete + kBreak + question,
               label + " Error:"))
        return false;
    } else if (outcome.warningFlag != 0) {
      c_.report.showCounts();
      desktop_.msgBox("Warning: There were potential problems with the " + label +
                          " file: " + name + kBreak +
                          "TARVEX will not operate if this file is not complete and correct.",
                      kInformation, "Warning:");
    }
  }
  return true;
}

bool CheckRun::checkUserMatrix() {
  if (!s_.UseUserMatrix) return true;
  c_.report.setStatus("Check User-defined matrix file");
  s_.UserMatrixHasHeadings = options_.matrixHeadings;
  desktop_.setBusy(true);
  const int status = SubReadUserWLS(c_, s_.UserWLSFileName, s_.UserMatrixHasHeadings).Status;
  desktop_.setBusy(false);
  if (status == 0) return true;
  c_.report.showCounts();
  return yes(desktop_,
             "Error: There were problems with the User Defined Matrix file: " + s_.UserWLSFileName +
                 kBreak + kIncomplete + kBreak + kGoOn,
             "User Defined Matrix Error:");
}

bool CheckRun::checkFlowFiles() {
  if (!options_.flowFiles) return true;
  c_.report.setStatus("Check user-defined annual time-series files");
  desktop_.setBusy(true);
  const FlowFilesResult result = CheckFlowFiles(c_);
  desktop_.setBusy(false);
  if (result.MissingCount < 1) return true;
  c_.report.showCounts();
  desktop_.msgBox("Error: There were problems with the annual time-series files: " + kBreak +
                      "TARVEX will not operate until all the annual time-series files are "
                      "complete and correct." +
                      kBreak,
                  kCritical, "Annual Flow Files Error:");
  return false;
}

// Counts since start-up decide: errors of an earlier run still count.
void CheckRun::decide() {
  if (s_.ErrorCount < 1) {
    c_.report.setStatus("Status: File checks complete. Please click the Step 3 button");
  } else {
    c_.report.setStatus(
        "Status: Errors were found in the input data set. Please check your files.");
    desktop_.msgBox(
        "TARVEX probably will not operate correctly until all the input files are complete and "
        "correct." +
            kBreak + "Please fix the errors and rerun the shell program.",
        kCritical, "Input File Errors:");
  }
  s_.InputFilesChecked = true;
  window_.focusRunStep();
}

}  // namespace

CheckRunEnd runInputChecks(CheckContext& context, CheckDriverWindow& window,
                           const CheckOptions& options) {
  return CheckRun(context, window, options).run();
}

}  // namespace tarvex
