// Stand-in for the regression engine. Started without arguments in a data folder, it
// looks for the standard input files and appends a short report to TARVEXResults.txt,
// so every run leaves a new or changed file for the shell to collect.
#include <array>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

int main() {
  constexpr std::array<const char*, 7> kInputs = {"SiteInfo.txt",
                                                  "FlowChar.txt",
                                                  "LP3G.txt",
                                                  "LP3K.txt",
                                                  "LP3s.txt",
                                                  "UserWLS.txt",
                                                  "DOVLAnnualTimeSeries.txt"};
  std::ofstream out("TARVEXResults.txt", std::ios::binary | std::ios::app);
  if (!out) {
    std::cerr << "TARVEXv1: cannot write TARVEXResults.txt\n";
    return 1;
  }
  out << "TARVEX stand-in engine run\r\n";
  for (const char* name : kInputs) {
    std::error_code ec;
    const bool found = fs::is_regular_file(name, ec);
    out << name << (found ? "\tfound" : "\tmissing") << "\r\n";
  }
  return out.good() ? 0 : 1;
}
