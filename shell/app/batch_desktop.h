#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "checks/check_driver.h"
#include "platform/desktop.h"
#include "state/progress_pace.h"
#include "state/shell_report.h"
#include "state/shell_state.h"

namespace tarvex {

// A desktop with nobody in front of it: every question gets the batch's answer (a rewrite
// is made with `fix`, declined without it; the checks always go on after errors), and
// nothing is shown or started.
class BatchDesktop : public Desktop {
 public:
  BatchDesktop(bool fix, std::optional<CalendarDate> date) : fix_(fix), date_(date) {}

  MsgAnswer msgBox(const std::string& prompt, int style, const std::string& title) override;
  std::string inputBox(const std::string&, const std::string&, const std::string&) override {
    return {};
  }
  std::optional<std::filesystem::path> openFile(const OpenFileRequest&) override {
    return std::nullopt;
  }
  std::optional<std::filesystem::path> saveFile(const SaveFileRequest&) override {
    return std::nullopt;
  }
  void copyToClipboard(const std::string&) override {}
  ProgramId startProgram(const std::filesystem::path&, const std::filesystem::path&,
                         WindowStyle) override;
  ProgramStatus programStatus(ProgramId) override { return {}; }
  void openFolder(const std::filesystem::path&) override {}
  void setBusy(bool) override {}
  void showModal(Form& form, Form*) override;
  void showModeless(Form&) override {}
  void unload(Form& form) override { form.setLoaded(false); }
  std::filesystem::path programFolder() override { return {}; }
  std::filesystem::path currentDirectory() override;
  void setCurrentDirectory(const std::filesystem::path& folder) override;
  CalendarDate today() override;
  [[noreturn]] void endProgram() override;

 private:
  bool fix_;
  std::optional<CalendarDate> date_;
};

// The window's part without a window: counts in the state, and the station-number repair
// applied by its automatic steps when repairs are asked for. The reports the viewer would
// show are the findings, rendered at the end.
class BatchWindow : public ShellReport, public CheckDriverWindow {
 public:
  // `progress`: where a line tells how far long work has come (a terminal), if anywhere.
  BatchWindow(ShellState& state, Desktop& desktop, bool fix, std::ostream* progress = nullptr,
              const ProgressPace& pace = {})
      : state_(state), desktop_(desktop), fix_(fix), progress_(progress), progressPace_(pace) {}

  void addError() override { ++state_.ErrorCount; }
  void addWarning() override { ++state_.WarningCount; }
  void showCounts() override {}
  void setStatus(const std::string&) override {}
  void disableSteps() override {}
  void showInformation() override {}
  void showProgress(const std::string& what, std::uint64_t done, std::uint64_t total) override;
  void endProgress() override;

  void showStationRepair() override;
  void UpdateStationListBox() override {}
  void showSiteInfoFile() override {}
  void focusRunStep() override {}

 private:
  ShellState& state_;
  Desktop& desktop_;
  bool fix_;
  std::ostream* progress_;
  ProgressPace progressPace_;
  std::size_t progressShown_ = 0;  // the length of the line shown, to wipe it
};

}  // namespace tarvex
