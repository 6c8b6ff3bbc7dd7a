#include "shell_harness.h"

#include "platform/run_time_error.h"
#include "state/state_summary.h"

namespace tarvex::testing {

namespace fs = std::filesystem;

std::optional<fs::path> RecordingDesktop::openFile(const OpenFileRequest& request) {
  requests.push_back(request);
  if (static_cast<int>(requests.size()) == failingDialog) throw RunTimeError(err::kPathNotFound);
  return ScriptedDesktop::openFile(request);
}

MsgAnswer RecordingDesktop::msgBox(const std::string& prompt, int style, const std::string& title) {
  if (++boxes == failingBox) throw RunTimeError(err::kInvalidProcedureCall);
  return ScriptedDesktop::msgBox(prompt, style, title);
}

void RecordingDesktop::openFolder(const fs::path& folder) {
  if (folderFailure) throw *folderFailure;
  ScriptedDesktop::openFolder(folder);
}

ShellHarness::ShellHarness(const std::string& answers)
    : desktop(out_, shellDir.path(), kTestDate),
      window(desktop, state),
      script_(Script::parse(answers)),
      runner_(desktop, window, [this] { return stateSummary(state); }) {
  desktop.setScript(&script_);
  window.addObserver(*this);
  // The desktop has noted where it started and goes back there when it is destroyed.
  fs::current_path(dataDir.path());
}

ShellHarness::~ShellHarness() { window.removeObserver(*this); }

void ShellHarness::controlChanged(const Control& control) {
  if (&control == &window.tbMyStatus) statusTexts.push_back(control.text());
}

void ShellHarness::installEngine() {
  shellDir.write("TARVEXshell01.ini", "TARVEXv1\r\nTARVEXv1.ctf\r\n");
  shellDir.write("TARVEXv1", "#!/bin/sh\nexit 0\n");
  fs::permissions(shellDir.path() / "TARVEXv1", fs::perms::owner_all);
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

void chooseUsualTables(ShellState& state, const fs::path& folder, const std::string& matrix) {
  state.WorkingDirectory = folder.string() + "/";
  state.SiteInfoFileName = "SiteInfo.txt";
  state.FlowCharFileName = "FlowChar.txt";
  state.LP3GFileName = "LP3G.txt";
  state.LP3KFileName = "LP3K.txt";
  state.LP3sFileName = "LP3s.txt";
  state.UserWLSFileName = matrix;
  state.InputFilesSpecified = true;
}

void ShellHarness::inputFilesSpecified() {
  state.WorkingDirectory = dataDir.dir();
  state.InputFilesSpecified = true;
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

void ShellHarness::files(const std::vector<std::string>& names) const {
  for (const std::string& name : names) dataDir.write(name, "x\r\n");
}

std::string ShellHarness::dir() const { return fs::canonical(dataDir.path()).string() + "/"; }

std::string ShellHarness::names() const {
  return state.SiteInfoFileName + " " + state.FlowCharFileName + " " + state.LP3sFileName + " " +
         state.LP3KFileName + " " + state.LP3GFileName + " " + state.UserWLSFileName;
}

std::string ShellHarness::boxes() const {
  return window.tbSiteInfoFile.text() + " " + window.tbFlowChar.text() + " " +
         window.tbLP3s.text() + " " + window.tbLP3K.text() + " " + window.tbLP3G.text() + " " +
         window.tbUDWLS.text();
}

std::vector<std::string> ShellHarness::events() const {
  const std::string folder = dir();
  std::vector<std::string> heads;
  std::istringstream lines(out_.str());
  for (std::string line; std::getline(lines, line);) {
    if (!line.starts_with("== ") && !line.starts_with("-> ")) continue;
    for (auto at = line.find(folder); at != std::string::npos; at = line.find(folder))
      line.replace(at, folder.size(), "DATA/");
    heads.push_back(line);
  }
  return heads;
}

}  // namespace tarvex::testing
