#pragma once

#include <array>
#include <chrono>
#include <string>
#include <vector>

#include "state/finding.h"

namespace tarvex {

// Everything the shell knows while it runs, shared by every form and routine under
// the names the rest of the shell uses: the step flags and the public variables. Station arrays are
// 1-based: element 0 is unused (except in FlowFileNames, which runs 0 .. StationCount).
struct ShellState {
  // Step flags: Step 1, 2 and 3 done, and the annual flow files found and checked.
  bool InputFilesSpecified = false;
  bool InputFilesChecked = false;
  bool TARVEXHasRun = false;
  bool FlowFilesChecked = false;

  std::string ShellDirectory;    // ends in '/'
  std::string WorkingDirectory;  // ends in '/'
  std::string SiteInfoFileName;
  std::string FlowCharFileName;
  std::string LP3GFileName;
  std::string LP3KFileName;
  std::string LP3sFileName;
  std::string UserWLSFileName;
  std::string TARVEXExeName;
  std::string TARVEXCtfName;
  std::string TARVEXFolderName;
  long ErrorCount = 0;
  long WarningCount = 0;
  bool UseUserMatrix = false;
  bool UserMatrixHasHeadings = false;
  bool StationIDsFixed = false;
  std::string InformationText;
  long StationCount = 0;
  std::vector<std::string> StationNumbers;
  std::vector<std::string> StationNumbersAsRead;
  std::vector<long> StationNumberValues;
  std::vector<double> StationLatitudes;
  std::vector<double> StationLongitudes;
  long SevenDigitStationCount = 0;
  long LeadingCharStationCount = 0;
  long InternalCharStationCount = 0;
  std::array<long, 5> FileColumnCounts{};  // 1 .. 4
  std::vector<std::string> FlowCharHeadings;
  std::vector<std::string> FlowFileNames;

  // Every problem the checks found since start-up, in the order found.
  std::vector<Finding> Findings;

  // This session's engine run: the program started (0 before the first start), its start
  // by the file system's clock, whether its files are still to be collected, the engine
  // files this session copied into the data folder (the only ones Exit removes), and
  // whether the engine's folder appeared only with a run of this session.
  long EngineProgram = 0;
  std::chrono::nanoseconds EngineStart{0};
  bool EngineOutputPending = false;
  std::vector<std::string> EngineFilesCopied;
  bool EngineFolderMadeByRun = false;
};

inline constexpr const char* kDefaultExeName = "TARVEXv1.exe";
inline constexpr const char* kDefaultCtfName = "TARVEXv1.ctf";
inline constexpr const char* kIniFileName = "TARVEXshell01.ini";

}  // namespace tarvex
