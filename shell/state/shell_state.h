#pragma once

#include <array>
#include <string>
#include <vector>

namespace tarvex {

// The public variables shared by every form and routine of the shell, under the
// names the rest of the shell uses. Station arrays are 1-based: element 0 is unused
// (except in FlowFileNames, which runs 0 .. StationCount).
struct ShellState {
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
};

inline constexpr const char* kDefaultExeName = "TARVEXv1.exe";
inline constexpr const char* kDefaultCtfName = "TARVEXv1.ctf";
inline constexpr const char* kIniFileName = "TARVEXshell01.ini";

}  // namespace tarvex
