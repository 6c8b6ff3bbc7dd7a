#pragma once

#include <filesystem>
#include <ostream>
#include <string>

namespace tarvex::engine {

inline constexpr const char* kResultsName = "TARVEXResults.txt";

// The first line of every run's results.
inline constexpr const char* kResultsHeading =
    "TARVEX stand-in engine: results of a demonstration program, not of the TARVEX regression "
    "engine";

// Reads the standard input files of the folder and fits every flow characteristic.
// Returns the run's results (lines ending in CR LF); an InputError when the input is
// unusable.
std::string analyseFolder(const std::filesystem::path& folder, const std::string& runTime);

// Adds text to the end of the folder's results file. The file is rewritten whole, so
// a failure leaves the earlier results as they were.
void appendResults(const std::filesystem::path& folder, const std::string& text);

// One run: results appended, 0 returned; or the failure written to `err` and to the
// results file (where the user of the shell will look), and 1 returned.
int runEngine(const std::filesystem::path& folder, const std::string& runTime, std::ostream& err);

}  // namespace tarvex::engine
