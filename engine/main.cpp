// The stand-in engine. Started without arguments in a data folder, it fits every flow
// characteristic on the basin characteristics and appends the results to
// TARVEXResults.txt there.
#include <ctime>
#include <filesystem>
#include <iostream>

#include "engine_run.h"

int main() {
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
