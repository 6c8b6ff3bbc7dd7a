#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvex::engine {

// Input the engine cannot use; the message says which file and why.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A station table: a heading line, then one line per station with its number first.
struct StationTable {
  std::string name;  // the standard name it was read under
  std::vector<std::string> headings;
  std::vector<std::string> stations;             // first fields, trimmed
  std::vector<std::vector<std::string>> fields;  // every field of each station line
};

// The file of `folder` that a standard name stands for, matching the name without regard
// to ASCII case as the shell does; nothing when there is none.
std::filesystem::path findInput(const std::filesystem::path& folder, const std::string& name);

// Reads a station table by the shell's table rules: lines end at a carriage return,
// fields split at tabs, the first line is the heading line. Blank lines are skipped;
// any other line must start with a station number of two or more characters.
StationTable readStationTable(const std::filesystem::path& folder, const std::string& name);

// The same stations, line by line, as the site information file. A number that gained
// or lost a leading zero in a repair still counts as the same station.
void requireSameStations(const StationTable& site, const StationTable& other);

// The weighting matrix, with or without station headings: its size and whether it has them.
struct MatrixSummary {
  std::size_t size = 0;
  bool headed = false;
};
MatrixSummary readWeightingMatrix(const std::filesystem::path& file, std::size_t stations);

// The annual flow compilation: how many stations and how many annual flows it holds.
struct SeriesSummary {
  std::size_t stations = 0;
  std::size_t flows = 0;
};
SeriesSummary readAnnualSeries(const std::filesystem::path& file);

}  // namespace tarvex::engine
