#include "run/engine_launch.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/error_trap.h"
#include "platform/standard_name.h"
#include "platform/text_file.h"
#include "run/file_routines.h"

namespace tarvex {

namespace fs = std::filesystem;

namespace {

constexpr const char* kEnd = "\r\n";

// The hourglass for as long as the guard lives, whatever way the routine leaves.
class BusyPointer {
 public:
  explicit BusyPointer(Desktop& desktop) : desktop_(desktop) { desktop_.setBusy(true); }
  ~BusyPointer() { desktop_.setBusy(false); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  Desktop& desktop_;
};

// A chosen input file and the file of the data directory that the engine reads for it.
struct StandardCopy {
  std::string chosen;
  std::string target;  // the standard name as it is spelled in the folder, if it is there
};

// In the order the step handles them. A standard name matches a file in any letter case,
// as on the systems the data comes from, so that file is the one replaced.
std::vector<StandardCopy> standardCopies(const ShellState& state, bool withMatrix) {
  std::vector<std::pair<const std::string*, const char*>> files = {
      {&state.SiteInfoFileName, "SiteInfo.txt"},
      {&state.FlowCharFileName, "FlowChar.txt"},
      {&state.LP3GFileName, "LP3G.txt"},
      {&state.LP3KFileName, "LP3K.txt"},
      {&state.LP3sFileName, "LP3s.txt"}};
  if (withMatrix) files.push_back({&state.UserWLSFileName, "UserWLS.txt"});
  std::vector<StandardCopy> copies;
  for (const auto& [chosen, standard] : files) {
    const fs::path target = resolveStandardName(state.WorkingDirectory, standard);
    copies.push_back({*chosen, target.filename().string()});
  }
  return copies;
}

bool confirmDespiteErrors(Desktop& desktop, const ShellState& state) {
  if (state.ErrorCount <= 0) return true;
  return desktop.msgBox("There are: " + std::to_string(state.ErrorCount) +
                            " errors in your input files.\r\nThese errors could invalidate your "
                            "results. \r\nDo you want to proceed with potentially faulty input "
                            "data?",
                        kYesNo, "Errors detected in input files:") == MsgAnswer::Yes;
}

bool confirmOverwrites(Desktop& desktop, const ShellState& state,
                       const std::vector<StandardCopy>& copies) {
  std::string list;
  for (const auto& copy : copies)
    if (copy.chosen != copy.target && FileExists(state.WorkingDirectory + copy.target))
      list += "The file " + copy.chosen + " will replace " + copy.target + kEnd;
  if (trimBlanks(list).empty()) return true;
  if (desktop.msgBox("Existing files will be overwritten.\r\nTARVEX needs to use the standard "
                     "filenames to run. \r\n" +
                         list + "Do you want to over write these files?",
                     kYesNo, "Warning:") == MsgAnswer::Yes)
    return true;
  desktop.msgBox("Please rename the existing files and then click the Step 3 button again.",
                 kInformation, "Please save the files:");
  return false;
}

// A failed copy has shown its box; the engine must not then run on a stale file.
bool copyOntoStandardNames(Desktop& desktop, const ShellState& state,
                           const std::vector<StandardCopy>& copies) {
  for (const auto& copy : copies) {
    if (copy.chosen.empty() || copy.chosen == copy.target) continue;
    if (CopyDeleteFile(desktop, state.WorkingDirectory + copy.chosen, kCopyFile,
                       state.WorkingDirectory + copy.target))
      return false;
  }
  return true;
}

std::string enginePath(const ShellState& state, const std::string& name) {
  return withSlash(trimBlanks(state.WorkingDirectory)) + trimBlanks(name);
}

bool engineFiles(Desktop& desktop, ShellState& state, ShellReport& report) {
  const bool present = FileExists(enginePath(state, state.TARVEXExeName)) &&
                       FileExists(enginePath(state, state.TARVEXCtfName));
  if (state.TARVEXHasRun && present) return true;
  if (CopyTARVEX(desktop, state, state.ShellDirectory, state.WorkingDirectory)) return true;
  desktop.msgBox("Error: " + state.TARVEXExeName + " " + state.TARVEXCtfName +
                     " were not created properly.\r\nPlease try to manually copy them from: " +
                     state.ShellDirectory + "\r\nTo:" + state.WorkingDirectory +
                     "\r\nThen reclick the run TARVEX command button.",
                 kCritical, "Error with TARVEX files");
  report.setStatus("Status: Error with TARVEX program files.");
  return false;
}

// Copies one engine file when the target lacks it; false after the box when it is
// still missing.
bool copyEngineFile(Desktop& desktop, ShellState& state, const std::string& source,
                    const std::string& target, const std::string& name, bool note) {
  if (FileExists(target + name)) return true;
  if (note)
    desktop.msgBox(
        "Note: TARVEX must initialize when it is run in a new directory.\r\nThis may "
        "take a minute or two. Please wait for TARVEX to launch.",
        kInformation, "TARVEX Initialization:");
  const auto failed = CopyDeleteFile(desktop, source + name, kCopyFile, target + name);
  if (!failed && sameFolder(target, state.WorkingDirectory))
    state.EngineFilesCopied.push_back(name);
  if (FileExists(target + name) || !failed) return true;
  desktop.setBusy(false);
  desktop.msgBox("Error: " + target + name +
                     " was not created sucessfully.\r\nPlease run the shell again or manually "
                     "copy the file from: \r\n" +
                     source + name + "\r\nand run it.",
                 kCritical, "Error:");
  return false;
}

std::string missingFolder(const char* which, const std::string& folder) {
  return std::string("Error the ") + which + " folder: \r\n" + folder +
         "\r\nDoes not exist, please try to rerun TARVEX.";
}

// The files of the folder (no subfolders, no links) changed at or after the start.
std::vector<std::string> runOutputs(const std::string& folder, FileTime start) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec) || it->is_symlink(ec)) continue;
    const auto changed = lastChangeTime(it->path());
    if (changed && *changed >= start) names.push_back(it->path().filename().string());
  }
  if (ec) throw fromErrorCode(ec, true);
  std::sort(names.begin(), names.end());
  return names;
}

void offerInputCopies(Desktop& desktop, const ShellState& state, const std::string& source,
                      const std::string& subdirectory, const std::string& target, bool withMatrix) {
  if (desktop.msgBox("Output files are being saved to the directory: \r\n" + subdirectory +
                         "\r\nDo you want to copy input files to this folder too?",
                     kYesNo, "Copy Input Files?") != MsgAnswer::Yes)
    return;
  std::vector<std::string> names = {state.SiteInfoFileName, state.LP3sFileName, state.LP3KFileName,
                                    state.LP3GFileName, state.FlowCharFileName};
  if (withMatrix) names.push_back(state.UserWLSFileName);
  names.push_back(resolveStandardName(source, "DOVLAnnualTimeSeries.txt").filename().string());
  for (const std::string& name : names)
    if (!name.empty() && FileExists(source + name))
      CopyDeleteFile(desktop, source + name, kCopyFile, target + name);
}

}  // namespace

bool engineFilesAreOurs(Desktop& desktop, const ShellState& state) {
  for (const std::string* name : {&state.TARVEXExeName, &state.TARVEXCtfName}) {
    const std::string ours = withSlash(state.ShellDirectory) + trimBlanks(*name);
    if (trimBlanks(*name).empty() || !FileExists(ours)) continue;
    for (const fs::path& found : namesInAnyCase(state.WorkingDirectory, trimBlanks(*name))) {
      if (sameBytes(found.string(), ours)) continue;
      desktop.msgBox("The data folder holds a file named " + found.filename().string() +
                         " that is not the shell's copy of " + trimBlanks(*name) + ":\r\n" +
                         found.string() +
                         "\r\nTARVEX is not run, and nothing in the folder is changed. Please "
                         "move or rename that file, then click the Step 3 button again.",
                     kCritical, "Not the TARVEX Program:");
      return false;
    }
  }
  return true;
}

bool prepareEngineRun(Desktop& desktop, ShellState& state, ShellReport& report, bool withMatrix) {
  if (!engineFilesAreOurs(desktop, state)) return false;
  if (!confirmDespiteErrors(desktop, state)) return false;
  const std::vector<StandardCopy> copies = standardCopies(state, withMatrix);
  if (!confirmOverwrites(desktop, state, copies)) return false;
  if (!copyOntoStandardNames(desktop, state, copies)) return false;
  return engineFiles(desktop, state, report);
}

bool CopyTARVEX(Desktop& desktop, ShellState& state, const std::string& source,
                const std::string& target) {
  bool copied = false;
  withErrorBox(desktop, TrapText::Typed, "Error: CopyTARVEX", [&] {
    std::string missing;
    if (!FolderExists(source))
      missing = "Error: The source directory: " + source + "\r\ndoes not exist.";
    if (!FolderExists(target)) {
      if (!missing.empty()) missing += kEnd;
      missing += "Error: The target directory: " + target + "\r\ndoes not exist.";
    }
    if (!missing.empty()) {
      desktop.setBusy(false);
      desktop.msgBox(missing +
                         "\r\nCannot run TARVEX. Please try to run the shell again and ensure "
                         "TARVEX is in the source directory.",
                     kCritical, "File Error Sub CopyTARVEX:");
      return;
    }
    BusyPointer busy(desktop);
    copied = copyEngineFile(desktop, state, source, target, state.TARVEXExeName, true) &&
             copyEngineFile(desktop, state, source, target, state.TARVEXCtfName, false);
  });
  return copied;
}

void startEngine(Desktop& desktop, ShellState& state) {
  const std::string& folder = state.TARVEXFolderName;
  if (folder.size() > 1 && !FolderExists(state.WorkingDirectory + folder))
    state.EngineFolderMadeByRun = true;
  const FileTime start = fileSystemNow(state.WorkingDirectory);
  state.EngineProgram = desktop.startProgram(state.WorkingDirectory + state.TARVEXExeName,
                                             state.WorkingDirectory, WindowStyle::Minimized);
  state.EngineStart = start;
  state.EngineOutputPending = true;
}

bool CopyFilesToDirectory(Desktop& desktop, const ShellState& state,
                          const std::string& subdirectory, FileTime start, bool withMatrix) {
  bool collected = false;
  withErrorBox(desktop, TrapText::Typed, "Error: CopyFilesToDirectory", [&] {
    const auto failed = [&](const char* what) {
      desktop.msgBox(std::string(what) + "\r\n" + subdirectory +
                         "\r\nPlease copy TARVEX output files manually before rerunning the "
                         "program.",
                     kCritical, "Output Error:");
    };
    if (MakeDestroyFolder(desktop, state.WorkingDirectory + subdirectory, kCreateFolder)) {
      failed("Error: could not create output folder ");
      return;
    }
    if (!MoveOutputfiles(desktop, state, state.WorkingDirectory, subdirectory, start, withMatrix)) {
      failed("Error: could not move files to output folder ");
      return;
    }
    collected = true;
  });
  return collected;
}

bool MoveOutputfiles(Desktop& desktop, const ShellState& state, const std::string& source,
                     const std::string& subdirectory, FileTime start, bool withMatrix) {
  bool moved = false;
  withErrorBox(desktop, TrapText::Sub, "Sub MoveOutputfiles", [&] {
    const std::string target = withSlash(source) + withSlash(subdirectory);
    const char* title = "MoveOutputfiles: Error Finding Folder";
    bool found = true;
    if (!FolderExists(source)) {
      desktop.msgBox(missingFolder("source", source), kCritical, title);
      found = false;
    }
    if (!FolderExists(target)) {
      desktop.msgBox(missingFolder("target", subdirectory), kCritical, title);
      found = false;
    }
    if (!found) return;
    for (const std::string& name : runOutputs(source, start))
      moveFile(withSlash(source) + name, target + name);
    moved = true;
    offerInputCopies(desktop, state, withSlash(source), subdirectory, target, withMatrix);
  });
  return moved;
}

}  // namespace tarvex
