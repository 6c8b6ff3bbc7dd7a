#pragma once

#include <filesystem>
#include <sstream>
#include <string>

#include "platform/scripted/script.h"
#include "platform/scripted/script_runner.h"
#include "platform/scripted/scripted_desktop.h"
#include "state/shell_state.h"
#include "temp_dir.h"
#include "window/main_window.h"

namespace tarvex::testing {

inline constexpr CalendarDate kTestDate{2026, 12, 7};

// A shell on a scripted desktop: a shell folder with the engine files, a data
// folder as the current directory, and a script the boxes take their answers from.
class ShellHarness {
 public:
  explicit ShellHarness(const std::string& answers = "");
  ~ShellHarness();
  ShellHarness(const ShellHarness&) = delete;
  ShellHarness& operator=(const ShellHarness&) = delete;

  // Writes the engine files and an initialization file naming them into the shell folder.
  void installEngine();
  // Runs the start-up, as the program does; false when the program ended.
  bool start();
  // Replaces the answers the next boxes take.
  void answer(const std::string& answers);
  // Runs script lines against the window; false when the program ended.
  bool run(const std::string& lines);

  std::string transcript() const { return out_.str(); }
  void clearTranscript() { out_.str(""); }

  TempDir shellDir;
  TempDir dataDir;
  std::ostringstream out_;
  ScriptedDesktop desktop;
  ShellState state;
  MainWindow window;

 private:
  Script script_;
  ScriptRunner runner_;
};

// The transcript block of one message box.
std::string msgBoxBlock(int style, const std::string& title, const std::string& text,
                        const std::string& answer = "ok");

}  // namespace tarvex::testing
