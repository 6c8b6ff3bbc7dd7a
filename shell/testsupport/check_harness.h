#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "checks/check_context.h"
#include "platform/scripted/script.h"
#include "platform/scripted/scripted_desktop.h"
#include "state/shell_report.h"
#include "state/shell_state.h"
#include "temp_dir.h"
#include "transcript.h"

namespace tarvex::testing {

// A reporting interface that keeps what it was told, for tests of routines below the
// window. Counts change the state as the window's do.
class RecordingReport : public ShellReport {
 public:
  explicit RecordingReport(ShellState& state) : state_(state) {}
  void addError() override;
  void addWarning() override;
  void showCounts() override { ++countShows; }
  void setStatus(const std::string& text) override { statuses.push_back(text); }
  void disableSteps() override { stepsDisabled = true; }
  void showInformation() override { shownReports.push_back(state_.InformationText); }
  void showProgress(const std::string& what, std::uint64_t done, std::uint64_t total) override {
    progress.push_back({what, done, total});
  }
  void endProgress() override { ++progressEnds; }

  struct Progress {
    std::string what;
    std::uint64_t done, total;
  };

  int countShows = 0;
  std::vector<std::string> statuses;
  std::vector<std::string> shownReports;  // InformationText each time the viewer opened
  bool stepsDisabled = false;
  std::vector<Progress> progress;
  int progressEnds = 0;

 private:
  ShellState& state_;
};

// A check's surroundings: a data folder (WorkingDirectory, and the current directory),
// a scripted desktop whose boxes take the given answers, the state and a recording
// report.
class CheckHarness {
 public:
  explicit CheckHarness(const std::string& answers = "");
  ~CheckHarness();
  CheckHarness(const CheckHarness&) = delete;
  CheckHarness& operator=(const CheckHarness&) = delete;

  // Writes a file of the data folder; returns its bare name.
  std::string file(const std::string& name, const std::string& bytes) const;
  std::string read(const std::string& name) const { return dataDir.read(name); }
  // Replaces the answers the next boxes take.
  void answer(const std::string& answers);
  std::string transcript() const { return out_.str(); }
  void clearTranscript() { out_.str(""); }
  // Loads a station list as the site information check leaves it.
  void stations(const std::vector<std::string>& numbers);

  TempDir dataDir;
  std::ostringstream out_;
  ScriptedDesktop desktop;
  ShellState state;
  RecordingReport report{state};
  CheckContext context{state, desktop, report};

 private:
  Script script_;
};

}  // namespace tarvex::testing
