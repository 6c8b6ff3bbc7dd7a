#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarvex::testing {

// The shape of a clean data set: every file the checks read, in agreement.
struct SampleData {
  int stations = 5;
  int flowColumns = 3;  // flow characteristics besides the station number
  int years = 20;       // annual values per station, from 1990
  bool matrixHeadings = true;
  bool withMatrix = true;     // UserWLS.txt
  bool withFlowFiles = true;  // one DOVL file per station
};

// The station numbers of a sample data set: eight digits, in order.
std::vector<std::string> sampleStations(int count);

// Writes SiteInfo.txt, FlowChar.txt, LP3G.txt, LP3K.txt, LP3s.txt, UserWLS.txt and one
// DOVL file per station into `folder`, all with CR LF line ends.
void writeSampleData(const std::filesystem::path& folder, const SampleData& shape = {});

}  // namespace tarvex::testing
