// The stand-in engine. Started without arguments in a data folder, it fits every flow
// characteristic on the basin characteristics and appends the results to
// TARVEXResults.txt there.
#include <ctime>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "engine_run.h"

namespace {

constexpr const char* kUsage =
    "Usage: TARVEXv1\n"
    "A stand-in for the regional regression engine, started by the TARVEX shell in a data\n"
    "folder. It reads SiteInfo.txt, FlowChar.txt, LP3G.txt, LP3K.txt, LP3s.txt and, when\n"
    "present, UserWLS.txt and DOVLAnnualTimeSeries.txt from the current folder, fits the\n"
    "base-10 logarithm of each flow characteristic on the logarithms of the basin\n"
    "characteristics by ordinary least squares, and appends the fits to TARVEXResults.txt\n"
    "there. Its results are a demonstration, and say so.\n"
    "\n"
    "Options:\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0 the results were written; 1 the input was unusable (the reason on standard error\n"
    "  and in TARVEXResults.txt); 2 a bad command line.\n";

// Any argument means the caller is not the shell: the data folder is left alone.
int answer(std::string_view argument) {
  if (argument == "--help" || argument == "-h") {
    std::cout << kUsage;
  } else if (argument == "--version") {
    std::cout << "TARVEXv1 " << TARVEX_VERSION << "\n";
  } else {
    std::cerr << "TARVEXv1: unknown argument \"" << argument << "\" (see --help)\n";
    return 2;
  }
  return std::cout.flush() ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::cerr << "TARVEXv1: takes no arguments but --help or --version\n";
    return 2;
  }
  if (argc == 2) return answer(argv[1]);
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char runTime[32];
  std::strftime(runTime, sizeof runTime, "%Y-%m-%d %H:%M:%S", &local);
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::current_path(ec);
  if (ec) {
    std::cerr << "TARVEXv1: cannot find the data folder: " << ec.message() << "\n";
    return 1;
  }
  return tarvex::engine::runEngine(folder, runTime, std::cerr);
}
