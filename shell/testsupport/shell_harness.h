#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/run_time_error.h"
#include "platform/scripted/script.h"
#include "platform/scripted/script_runner.h"
#include "platform/scripted/scripted_desktop.h"
#include "state/shell_state.h"
#include "temp_dir.h"
#include "transcript.h"
#include "window/main_window.h"

namespace tarvex::testing {

inline constexpr CalendarDate kTestDate{2026, 12, 7};

// As after Step 1 on `folder` with the tables under their usual names; the matrix only when
// one is named.
void chooseUsualTables(ShellState& state, const std::filesystem::path& folder,
                       const std::string& matrix = "");

// A scripted desktop that keeps every file-open request and can fail one dialog.
class RecordingDesktop : public ScriptedDesktop {
 public:
  using ScriptedDesktop::ScriptedDesktop;
  std::optional<std::filesystem::path> openFile(const OpenFileRequest& request) override;

  void openFolder(const std::filesystem::path& folder) override;
  MsgAnswer msgBox(const std::string& prompt, int style, const std::string& title) override;

  std::vector<OpenFileRequest> requests;
  int failingDialog = 0;  // 1-based number of the dialog that fails with error 76
  int boxes = 0;          // message boxes shown
  int failingBox = 0;     // the number of the box that cannot be shown (error 5), if any
  std::optional<RunTimeError> folderFailure;  // what opening a folder fails with, if it does
};

// The shell on a scripted desktop: a shell folder for the engine files, a data folder
// as the current directory, a script the boxes take their answers from, and a log of
// every status text the window shows.
class ShellHarness : private FormObserver {
 public:
  explicit ShellHarness(const std::string& answers = "");
  ~ShellHarness() override;
  ShellHarness(const ShellHarness&) = delete;
  ShellHarness& operator=(const ShellHarness&) = delete;

  // Writes the engine files and an initialization file naming them into the shell folder.
  void installEngine();
  // Runs the start-up, as the program does; false when the program ended.
  bool start();
  // As after Step 1 on the data folder, without running it.
  void inputFilesSpecified();
  // Replaces the answers the next boxes take.
  void answer(const std::string& answers);
  // Runs script lines against the window; false when the program ended.
  bool run(const std::string& lines);
  // True when every answer line given has been taken.
  bool scriptDone() const { return script_.atEnd(); }

  // Writes small files of these names into the data folder.
  void files(const std::vector<std::string>& names) const;
  // The data folder as the shell sees it once it is the current directory, with '/'.
  std::string dir() const;
  // The six input file names, and the texts of their six boxes, joined by blanks.
  std::string names() const;
  std::string boxes() const;

  std::string transcript() const { return out_.str(); }
  void clearTranscript() { out_.str(""); }
  // The header lines of the transcript's events, with the data folder as "DATA/".
  std::vector<std::string> events() const;

  TempDir shellDir;
  TempDir dataDir;
  std::ostringstream out_;
  RecordingDesktop desktop;
  ShellState state;
  MainWindow window;
  std::vector<std::string> statusTexts;

 private:
  void controlChanged(const Control& control) override;
  void focusChanged(const Control&) override {}

  Script script_;
  ScriptRunner runner_;
};

}  // namespace tarvex::testing
