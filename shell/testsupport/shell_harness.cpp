#include "shell_harness.h"

#include "platform/run_time_error.h"
#include "window/state_report.h"

namespace tarvex::testing {

ShellHarness::ShellHarness(const std::string& answers)
    : desktop(out_, shellDir.path(), kTestDate),
      window(desktop, state),
      script_(Script::parse(answers)),
      runner_(desktop, window, [this] { return stateReport(window); }) {
  desktop.setScript(&script_);
  // The desktop has noted where it started and goes back there when it is destroyed.
  std::filesystem::current_path(dataDir.path());
}

ShellHarness::~ShellHarness() = default;

void ShellHarness::installEngine() {
  shellDir.write("TARVEXshell01.ini", "TARVEXv1\r\nTARVEXv1.ctf\r\n");
  shellDir.write("TARVEXv1", "#!/bin/sh\nexit 0\n");
  std::filesystem::permissions(shellDir.path() / "TARVEXv1", std::filesystem::perms::owner_all);
  shellDir.write("TARVEXv1.ctf", "control\r\n");
}

bool ShellHarness::start() {
  try {
    window.load();
    return true;
  } catch (const ProgramEnd&) {
    return false;
  }
}

void ShellHarness::answer(const std::string& answers) {
  script_ = Script::parse(answers);
  desktop.setScript(&script_);
}

bool ShellHarness::run(const std::string& lines) {
  script_ = Script::parse(lines);
  try {
    runner_.run(script_);
    return true;
  } catch (const ProgramEnd&) {
    return false;
  }
}

std::string msgBoxBlock(int style, const std::string& title, const std::string& text,
                        const std::string& answer) {
  return "== msgbox " + std::to_string(style) + " \"" + title + "\"\n" + transcriptText(text) +
         "\n-> " + answer + "\n";
}

}  // namespace tarvex::testing
