#include "app/batch_check.h"

#include <array>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "checks/check_context.h"
#include "checks/check_driver.h"
#include "checks/fix_station_ids_form.h"
#include "platform/folder_lock.h"
#include "platform/local_system.h"
#include "platform/run_time_error.h"
#include "platform/safe_write.h"
#include "platform/standard_name.h"
#include "platform/text_file.h"

namespace tarvex {

namespace fs = std::filesystem;

namespace {

// Questions whose Yes rewrites a file of the data folder.
constexpr std::array<const char*, 3> kRewriteQuestions = {
    "Fix station numbers?", "Lines out of order", "Overwrite USERWLS.txt:"};

bool endsWith(const std::string& text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A desktop with nobody in front of it: every question gets the batch's answer, and
// nothing is shown or started.
class BatchDesktop : public Desktop {
 public:
  BatchDesktop(bool fix, std::optional<CalendarDate> date) : fix_(fix), date_(date) {}

  MsgAnswer msgBox(const std::string&, int style, const std::string& title) override {
    if ((style & 7) != kYesNo) return MsgAnswer::Ok;
    for (const char* question : kRewriteQuestions)
      if (title == question) return fix_ ? MsgAnswer::Yes : MsgAnswer::No;
    // "... Error:" asks whether to go on checking the other files: always.
    return endsWith(title, "Error:") ? MsgAnswer::Yes : MsgAnswer::No;
  }
  std::string inputBox(const std::string&, const std::string&, const std::string&) override {
    return {};
  }
  std::optional<fs::path> openFile(const OpenFileRequest&) override { return std::nullopt; }
  std::optional<fs::path> saveFile(const SaveFileRequest&) override { return std::nullopt; }
  void copyToClipboard(const std::string&) override {}
  ProgramId startProgram(const fs::path&, const fs::path&, WindowStyle) override {
    throw RunTimeError(err::kPermissionDenied);
  }
  ProgramStatus programStatus(ProgramId) override { return {}; }
  void openFolder(const fs::path&) override {}
  void setBusy(bool) override {}
  void showModal(Form& form, Form*) override {
    form.setLoaded(true);
    form.load();
    form.setLoaded(false);
  }
  void showModeless(Form&) override {}
  void unload(Form& form) override { form.setLoaded(false); }
  fs::path programFolder() override { return {}; }
  fs::path currentDirectory() override { return tarvex::currentDirectory(); }
  void setCurrentDirectory(const fs::path& folder) override { tarvex::setCurrentDirectory(folder); }
  CalendarDate today() override { return date_.value_or(localDate()); }
  [[noreturn]] void endProgram() override { throw ProgramEnd{}; }

 private:
  bool fix_;
  std::optional<CalendarDate> date_;
};

// The window's part without a window: counts in the state, reports to the output, and
// the station-number repair applied by its automatic steps when repairs are asked for.
class BatchWindow : public ShellReport, public CheckDriverWindow {
 public:
  BatchWindow(ShellState& state, Desktop& desktop, bool fix, std::ostream* reports)
      : state_(state), desktop_(desktop), fix_(fix), reports_(reports) {}

  void addError() override { ++state_.ErrorCount; }
  void addWarning() override { ++state_.WarningCount; }
  void showCounts() override {}
  void setStatus(const std::string&) override {}
  void disableSteps() override {}
  void showInformation() override {
    if (reports_) *reports_ << plainLines(state_.InformationText) << "\n";
  }

  // Strip leading characters, strip internal characters, add the leading zero: each step
  // the form opens, in its order.
  void showStationRepair() override {
    if (!fix_) return;
    FixStationIdsForm form(desktop_, state_);
    form.load();
    for (Control* step : {&form.cmdStripLeadingCharacters, &form.cmdStripInternalCharacters,
                          &form.cmdAddLeadingZero})
      if (step->enabled()) form.click(*step);
  }
  void UpdateStationListBox() override {}
  void showSiteInfoFile() override {}
  void focusRunStep() override {}

 private:
  // Lines as a terminal shows them: each carriage return, with or without its line feed,
  // becomes a line feed.
  static std::string plainLines(const std::string& text) {
    std::string lines;
    for (const std::string& line : splitLines(text)) (lines += line) += '\n';
    return lines;
  }

  ShellState& state_;
  Desktop& desktop_;
  bool fix_;
  std::ostream* reports_;
};

struct StandardFile {
  const char* key;
  const char* name;
  std::string ShellState::*variable;
};

constexpr std::array<StandardFile, 6> kStandardFiles = {{
    {"SiteInfo", "SiteInfo.txt", &ShellState::SiteInfoFileName},
    {"FlowChar", "FlowChar.txt", &ShellState::FlowCharFileName},
    {"LP3G", "LP3G.txt", &ShellState::LP3GFileName},
    {"LP3K", "LP3K.txt", &ShellState::LP3KFileName},
    {"LP3s", "LP3s.txt", &ShellState::LP3sFileName},
    {"UserWLS", "UserWLS.txt", &ShellState::UserWLSFileName},
}};
constexpr std::size_t kMatrixFile = 5;

const char* severityName(Severity severity) {
  return severity == Severity::Error ? "error" : "warning";
}

template <class T>
nlohmann::ordered_json orNull(const std::optional<T>& value) {
  return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json jsonReport(const fs::path& folder, const ShellState& state,
                                  const FileChanges& changes) {
  nlohmann::ordered_json report;
  report["folder"] = folder.string();
  nlohmann::ordered_json files = nlohmann::ordered_json::object();
  for (const StandardFile& file : kStandardFiles) {
    const std::string& name = state.*file.variable;
    files[file.key] = name.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(name);
  }
  report["files"] = files;
  report["stationCount"] = state.StationCount;
  report["errorCount"] = state.ErrorCount;
  report["warningCount"] = state.WarningCount;
  nlohmann::ordered_json findings = nlohmann::ordered_json::array();
  nlohmann::ordered_json notes = nlohmann::ordered_json::array();
  for (const Finding& finding : state.Findings) {
    // Problems reported without a count are notes, beside the findings.
    if (finding.severity == Severity::Note) {
      notes.push_back(finding.text);
      continue;
    }
    nlohmann::ordered_json item;
    item["file"] = finding.file;
    item["line"] = orNull(finding.line);
    item["station"] = orNull(finding.station);
    item["field"] = orNull(finding.field);
    item["severity"] = severityName(finding.severity);
    item["text"] = finding.text;
    findings.push_back(std::move(item));
  }
  report["findings"] = std::move(findings);
  report["notes"] = std::move(notes);
  report["rewritten"] = changes.rewritten;
  report["backups"] = changes.backups;
  return report;
}

// Step 1 on the standard names: false, with the reason, when a file is missing.
bool specifyStandardFiles(const BatchCheck& check, const fs::path& folder, ShellState& state,
                          std::ostream& err) {
  for (std::size_t i = 0; i < kStandardFiles.size(); ++i) {
    if (i == kMatrixFile && !check.matrix) continue;
    const fs::path path = resolveStandardName(folder, kStandardFiles[i].name);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
      err << "TARVEXshellv01: " << check.folder << " has no " << kStandardFiles[i].name << "\n";
      return false;
    }
    state.*kStandardFiles[i].variable = path.filename().string();
  }
  state.WorkingDirectory = folder.string() + "/";
  state.InputFilesSpecified = true;
  return true;
}

}  // namespace

int runBatchCheck(const BatchCheck& check, std::ostream& out, std::ostream& err) {
  std::error_code ec;
  const fs::path folder = fs::canonical(check.folder, ec);
  if (ec || !fs::is_directory(folder, ec)) {
    err << "TARVEXshellv01: no data folder " << check.folder << "\n";
    return kCannotCheck;
  }
  ShellState state;
  if (!specifyStandardFiles(check, folder, state, err)) return kCannotCheck;
  // The report file is named from where the program started, not from the data folder.
  const std::optional<fs::path> jsonFile =
      check.json && *check.json != "-" ? std::optional(fs::absolute(*check.json)) : std::nullopt;

  const bool jsonToOutput = check.json && *check.json == "-";
  BatchDesktop desktop(check.fix, check.date);
  BatchWindow window(state, desktop, check.fix, jsonToOutput ? nullptr : &out);
  FileChanges changes;
  changes.dryRun = !check.fix;
  CheckContext context{state, desktop, window, &changes};
  const FolderLock lock(folder);
  if (lock.busy()) {
    err << "TARVEXshellv01: " << check.folder
        << " is in use by another check, repair or run; try again when it has finished\n";
    return kCannotCheck;
  }
  desktop.setCurrentDirectory(folder);
  runInputChecks(context, window, {check.matrix, check.matrixHeadings, check.flowFiles});

  if (check.json) {
    const std::string text = jsonReport(folder, state, changes).dump(2) + "\n";
    if (jsonToOutput) {
      out << text;
    } else {
      try {
        replaceFile(*jsonFile, text);
      } catch (const RunTimeError& e) {
        err << "TARVEXshellv01: cannot write " << *check.json << ": " << e.description() << "\n";
        return kCannotCheck;
      }
    }
  }
  return state.ErrorCount > 0 ? kErrorsFound : kNoErrors;
}

}  // namespace tarvex
