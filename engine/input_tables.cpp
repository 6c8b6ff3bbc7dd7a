#include "input_tables.h"

#include <set>

#include "platform/run_time_error.h"
#include "platform/standard_name.h"
#include "platform/text_file.h"
#include "tables/table_reader.h"
#include "tables/table_rules.h"

namespace tarvex::engine {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> readLines(const fs::path& file) {
  try {
    return readTextLines(file);
  } catch (const RunTimeError& e) {
    throw InputError("cannot read " + file.filename().string() + ": " + e.description());
  }
}

std::vector<std::string> fieldsOf(std::string_view line) {
  std::vector<std::string> fields;
  for (std::string_view field : splitFields(line)) fields.emplace_back(field);
  return fields;
}

bool blank(std::string_view line) { return trimBlanks(line).empty(); }

std::string lineOf(std::size_t index, const std::string& name) {
  return "line " + std::to_string(index + 1) + " of " + name;
}

std::string withoutLeadingZeros(const std::string& station) {
  const std::size_t first = station.find_first_not_of('0');
  return first == std::string::npos ? std::string() : station.substr(first);
}

// Lines up to the last one that is not blank: a file may end with an empty line.
std::size_t usedLines(const std::vector<std::string>& lines) {
  std::size_t end = lines.size();
  while (end > 0 && blank(lines[end - 1])) --end;
  return end;
}

}  // namespace

fs::path findInput(const fs::path& folder, const std::string& name) {
  const fs::path file = resolveStandardName(folder, name);
  std::error_code ec;
  return fs::exists(fs::symlink_status(file, ec)) ? file : fs::path();
}

StationTable readStationTable(const fs::path& folder, const std::string& name) {
  const fs::path file = findInput(folder, name);
  if (file.empty()) throw InputError("cannot read " + name + ": the file does not exist");
  const std::vector<std::string> lines = readLines(file);
  if (lines.empty()) throw InputError(name + " is empty");
  StationTable table;
  table.name = name;
  table.headings = fieldsOf(lines[0]);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (blank(lines[i])) continue;
    std::vector<std::string> fields = fieldsOf(lines[i]);
    std::string station = trimBlanks(fields[0]);
    if (station.size() < 2) throw InputError(lineOf(i, name) + " has no station number");
    table.stations.push_back(std::move(station));
    table.fields.push_back(std::move(fields));
  }
  return table;
}

void requireSameStations(const StationTable& site, const StationTable& other) {
  if (other.stations.size() != site.stations.size())
    throw InputError(other.name + " has " + std::to_string(other.stations.size()) +
                     " stations and " + site.name + " has " + std::to_string(site.stations.size()));
  for (std::size_t i = 0; i < site.stations.size(); ++i) {
    if (withoutLeadingZeros(other.stations[i]) != withoutLeadingZeros(site.stations[i]))
      throw InputError("station " + std::to_string(i + 1) + " of " + other.name + " is " +
                       other.stations[i] + " where " + site.name + " has " + site.stations[i]);
  }
}

MatrixSummary readWeightingMatrix(const fs::path& file, std::size_t stations) {
  const std::string name = file.filename().string();
  const std::vector<std::string> lines = readLines(file);
  const std::size_t count = usedLines(lines);
  MatrixSummary summary{stations, count == stations + 1};
  if (count != stations && !summary.headed)
    throw InputError(name + " has " + std::to_string(count) + " rows for " +
                     std::to_string(stations) + " stations");
  const std::size_t skip = summary.headed ? 1 : 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::vector<std::string> fields = fieldsOf(lines[i]);
    if (fields.size() != stations + skip)
      throw InputError(lineOf(i, name) + " has " + std::to_string(fields.size()) +
                       " fields where " + std::to_string(stations + skip) + " are needed");
    if (i < skip) continue;
    for (std::size_t j = skip; j < fields.size(); ++j) {
      const double weight = fnToDouble(fields[j]);
      if (weight == kNotNumber || weight < 0)
        throw InputError(lineOf(i, name) + " has \"" + fields[j] +
                         "\" where a weight of zero or more is needed");
    }
  }
  return summary;
}

SeriesSummary readAnnualSeries(const fs::path& file) {
  const std::string name = file.filename().string();
  const std::vector<std::string> lines = readLines(file);
  std::set<std::string> stations;
  SeriesSummary summary;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (blank(lines[i])) continue;
    const std::vector<std::string> fields = fieldsOf(lines[i]);
    if (fields.size() < 3 || fnToLong(fields[1]) == kNotWhole ||
        fnToDouble(fields[2]) == kNotNumber)
      throw InputError(lineOf(i, name) + " is not a station, a year and a flow");
    stations.insert(fields[0]);
    ++summary.flows;
  }
  summary.stations = stations.size();
  return summary;
}

}  // namespace tarvex::engine
