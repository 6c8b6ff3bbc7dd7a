#include "engine_run.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "input_tables.h"
#include "least_squares.h"
#include "platform/run_time_error.h"
#include "platform/safe_write.h"
#include "platform/text_file.h"
#include "tables/table_rules.h"

namespace tarvex::engine {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFirstBasinColumn = 8;  // the ninth column of the site file
constexpr const char* kEnd = "\r\n";

std::string number(double value, int decimals) {
  if (std::isnan(value)) return "not defined";
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string headingOf(const StationTable& table, std::size_t column) {
  std::string heading =
      column < table.headings.size() ? trimBlanks(table.headings[column]) : std::string();
  return heading.empty() ? "column " + std::to_string(column + 1) : heading;
}

// The value of a station's field when it is a positive number; its logarithm is defined.
std::optional<double> positiveValue(const StationTable& table, std::size_t station,
                                    std::size_t column) {
  const auto& fields = table.fields[station];
  if (column >= fields.size()) return std::nullopt;
  const double value = fnToDouble(fields[column]);
  if (value == kNotNumber || !(value > 0)) return std::nullopt;
  return value;
}

struct BasinColumn {
  std::size_t column;
  std::string name;
};

// Site columns from the ninth on whose value is a positive number at every station.
std::vector<BasinColumn> basinColumns(const StationTable& site, std::string& notes) {
  std::vector<BasinColumn> columns;
  for (std::size_t c = kFirstBasinColumn; c < site.headings.size(); ++c) {
    std::optional<std::size_t> unusable;
    for (std::size_t s = 0; s < site.stations.size() && !unusable; ++s)
      if (!positiveValue(site, s, c)) unusable = s;
    if (unusable)
      notes += "Site column left out: " + headingOf(site, c) +
               " (not a positive number at station " + site.stations[*unusable] + ")" + kEnd;
    else
      columns.push_back({c, headingOf(site, c)});
  }
  if (columns.empty())
    throw InputError(site.name +
                     " has no basin characteristic (column 9 on) with a positive number at "
                     "every station");
  return columns;
}

std::string fitCharacteristic(const StationTable& site, const StationTable& flow,
                              std::size_t column, const std::vector<BasinColumn>& basins) {
  const std::string name = headingOf(flow, column);
  std::vector<std::size_t> used;
  std::string leftOut;
  for (std::size_t s = 0; s < flow.stations.size(); ++s) {
    if (positiveValue(flow, s, column))
      used.push_back(s);
    else
      leftOut += (leftOut.empty() ? "" : ", ") + flow.stations[s];
  }
  const auto n = static_cast<Eigen::Index>(used.size());
  Eigen::MatrixXd design(n, static_cast<Eigen::Index>(basins.size() + 1));
  Eigen::VectorXd y(n);
  for (Eigen::Index row = 0; row < n; ++row) {
    const std::size_t s = used[static_cast<std::size_t>(row)];
    y(row) = std::log10(*positiveValue(flow, s, column));
    design(row, 0) = 1.0;
    for (std::size_t b = 0; b < basins.size(); ++b)
      design(row, static_cast<Eigen::Index>(b + 1)) =
          std::log10(*positiveValue(site, s, basins[b].column));
  }
  LeastSquaresFit fit;
  try {
    fit = fitOrdinaryLeastSquares(design, y);
  } catch (const FitError& e) {
    throw InputError(name + ": " + e.what());
  }

  std::vector<std::string> terms = {"Constant"};
  for (const auto& basin : basins) terms.push_back("log10(" + basin.name + ")");
  std::size_t width = std::string("Standard error of estimate").size();
  for (const auto& term : terms) width = std::max(width, term.size());
  width += 2;

  std::string text = kEnd;
  text += "Flow characteristic " + name + ": ordinary least squares of log10(" + name + ")" + kEnd;
  text += "  " + padded("Term", width) + padded("Coefficient", 16) + "Standard error" + kEnd;
  for (std::size_t k = 0; k < terms.size(); ++k) {
    const auto at = static_cast<Eigen::Index>(k);
    text += "  " + padded(terms[k], width) + padded(number(fit.coefficients(at), 6), 16) +
            number(fit.standardErrors(at), 6) + kEnd;
  }
  text += "  " + padded("R-squared", width) + number(fit.rSquared, 4) + kEnd;
  text += "  " + padded("Standard error of estimate", width) + number(fit.standardError, 4) +
          " (log10 units)" + kEnd;
  text += "  " + padded("Stations used", width) + std::to_string(fit.observations) + kEnd;
  if (!leftOut.empty())
    text +=
        "  " + padded("Stations left out", width) + leftOut + " (no positive " + name + ")" + kEnd;
  return text;
}

std::string sectionHead(const std::string& runTime) {
  return std::string(kResultsHeading) + kEnd + "Run of " + runTime + kEnd;
}

}  // namespace

std::string analyseFolder(const fs::path& folder, const std::string& runTime) {
  const StationTable site = readStationTable(folder, "SiteInfo.txt");
  if (site.stations.empty()) throw InputError(site.name + " lists no stations");
  const StationTable flow = readStationTable(folder, "FlowChar.txt");
  requireSameStations(site, flow);
  if (flow.headings.size() < 2) throw InputError(flow.name + " has no flow characteristic");

  std::string text = sectionHead(runTime);
  const std::string count = std::to_string(site.stations.size()) + " stations";
  text += "Input files" + std::string(kEnd);
  text += "  " + site.name + ": " + count + std::string(kEnd);
  text += "  " + flow.name + ": " + count + ", " + std::to_string(flow.headings.size() - 1) +
          " flow characteristics" + kEnd;
  for (const char* name : {"LP3G.txt", "LP3K.txt", "LP3s.txt"}) {
    const StationTable lp3 = readStationTable(folder, name);
    requireSameStations(site, lp3);
    text += "  " + lp3.name + ": " + count + std::string(kEnd);
  }
  if (const fs::path file = findInput(folder, "UserWLS.txt"); !file.empty()) {
    const MatrixSummary matrix = readWeightingMatrix(file, site.stations.size());
    text += "  " + file.filename().string() + ": " + std::to_string(matrix.size) + " x " +
            std::to_string(matrix.size) + " weighting matrix" +
            (matrix.headed ? " with station headings" : "") + " (not used by this fit)" + kEnd;
  }
  if (const fs::path file = findInput(folder, "DOVLAnnualTimeSeries.txt"); !file.empty()) {
    const SeriesSummary series = readAnnualSeries(file);
    text += "  " + file.filename().string() + ": " + std::to_string(series.flows) +
            " annual flows of " + std::to_string(series.stations) +
            " stations (not used by this fit)" + kEnd;
  }

  std::string notes;
  const std::vector<BasinColumn> basins = basinColumns(site, notes);
  text += notes;
  text += "Explanatory variables: log10 of";
  for (std::size_t b = 0; b < basins.size(); ++b) text += (b == 0 ? " " : ", ") + basins[b].name;
  text += kEnd;
  for (std::size_t column = 1; column < flow.headings.size(); ++column)
    text += fitCharacteristic(site, flow, column, basins);
  return text + kEnd;
}

void appendResults(const fs::path& folder, const std::string& text) {
  const fs::path file = folder / kResultsName;
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(file, ec);
  std::string bytes;
  if (fs::exists(status)) {
    // A link could lead the results out of the data folder.
    if (!fs::is_regular_file(status))
      throw InputError(std::string(kResultsName) + " is not a plain file of the data folder");
    bytes = readFileBytes(file);
  }
  replaceFile(file, bytes + text);
}

int runEngine(const fs::path& folder, const std::string& runTime, std::ostream& err) {
  std::string failure;
  try {
    appendResults(folder, analyseFolder(folder, runTime));
    return 0;
  } catch (const InputError& e) {
    failure = e.what();
  } catch (const RunTimeError& e) {
    failure = std::string("cannot write ") + kResultsName + ": " + e.description();
  } catch (const std::exception& e) {
    failure = e.what();
  }
  err << "TARVEXv1: " << failure << "\n";
  try {
    appendResults(folder, sectionHead(runTime) + "Run failed: " + failure + kEnd + kEnd);
  } catch (const std::exception&) {
    // Standard error has the message; the results file cannot take it.
  }
  return 1;
}

}  // namespace tarvex::engine
