#include "sample_data.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace tarvex::testing {

namespace fs = std::filesystem;

namespace {

void write(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string decimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

// A heading line and one line per station, the values from `value(station, column)`.
template <class Value>
std::string stationTable(const std::vector<std::string>& stations, const std::string& heading,
                         int columns, Value value) {
  std::string text = heading + "\r\n";
  for (std::size_t i = 0; i < stations.size(); ++i) {
    text += stations[i];
    for (int c = 1; c <= columns; ++c) (text += '\t') += value(static_cast<int>(i), c);
    text += "\r\n";
  }
  return text;
}

void writeMatrix(const fs::path& folder, const std::vector<std::string>& stations, bool headings) {
  std::string matrix;
  if (headings) {
    for (const auto& station : stations) (matrix += '\t') += station;
    matrix += "\r\n";
  }
  for (std::size_t r = 0; r < stations.size(); ++r) {
    if (headings) (matrix += stations[r]) += '\t';
    for (std::size_t c = 0; c < stations.size(); ++c) {
      if (c) matrix += '\t';
      matrix += r == c ? "1" : "0.05";
    }
    matrix += "\r\n";
  }
  write(folder / "UserWLS.txt", matrix);
}

}  // namespace

std::vector<std::string> sampleStations(int count) {
  std::vector<std::string> stations;
  for (int i = 0; i < count; ++i) {
    char number[16];
    std::snprintf(number, sizeof number, "%08d", 8010000 + 100 * i);
    stations.emplace_back(number);
  }
  return stations;
}

void writeSampleData(const fs::path& folder, const SampleData& shape) {
  fs::create_directories(folder);
  const auto stations = sampleStations(shape.stations);
  write(folder / "SiteInfo.txt",
        stationTable(stations,
                     "Station ID\tLat\tLong\tNo. Annual Series\tZero-1;NonZero-2\tFreqZero\t"
                     "Regional Skew\tCont-1;PR-2\tDrainage Area",
                     8, [&](int i, int c) -> std::string {
                       switch (c) {
                         case 1:
                           return decimal(30 + 0.01 * i);
                         case 2:
                           return decimal(-92 - 0.01 * i);
                         case 3:
                           return std::to_string(shape.years);
                         case 4:
                           return "2";
                         case 5:
                           return "0";
                         case 6:
                           return "-0.1";
                         case 7:
                           return "1";
                         default:
                           return decimal(100 + 7.5 * i);
                       }
                     }));
  std::string heading = "Station ID";
  for (int c = 1; c <= shape.flowColumns; ++c) heading += "\tQ" + std::to_string(c);
  const auto values = [](double scale) {
    return [scale](int i, int c) { return decimal(scale * (1 + i % 7) * c); };
  };
  write(folder / "FlowChar.txt", stationTable(stations, heading, shape.flowColumns, values(100)));
  write(folder / "LP3G.txt", stationTable(stations, heading, shape.flowColumns, values(0.01)));
  write(folder / "LP3K.txt", stationTable(stations, heading, shape.flowColumns, values(0.1)));
  write(folder / "LP3s.txt", stationTable(stations, heading, shape.flowColumns, values(0.02)));

  if (shape.withMatrix) writeMatrix(folder, stations, shape.matrixHeadings);
  if (!shape.withFlowFiles) return;
  for (std::size_t i = 0; i < stations.size(); ++i) {
    std::string series;
    for (int y = 0; y < shape.years; ++y)
      series += stations[i] + "\t" + std::to_string(2020 - shape.years + y) + "\t" +
                decimal(1000 + 37.0 * ((y * 7 + static_cast<int>(i)) % 13)) + "\r\n";
    write(folder / ("DOVL" + stations[i] + ".txt"), series);
  }
}

}  // namespace tarvex::testing
