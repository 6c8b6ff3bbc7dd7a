#include "window/input_file_names.h"

#include "platform/run_time_error.h"
#include "platform/text_file.h"

namespace tarvex {

namespace {
constexpr long kSiteInfoNameLength = 12;        // "SiteInfo.txt"
constexpr std::size_t kSiteInfoStemLength = 8;  // "SiteInfo"
}  // namespace

const std::array<InputFile, kStationFileCount + 1> kInputFiles = {{
    {"FlowChar.txt", "FlowChar", &ShellState::FlowCharFileName, "Get FlowChar file name",
     "Flow Characteristics File Name:", "Error identifying flow characteristics file.",
     "Please close the program and try to re-load the flow characteristics file."},
    {"LP3s.txt", "LP3s", &ShellState::LP3sFileName, "Get LP3s file name",
     "Log Pearson Type III Standard Deviation File Name:",
     "Error identifying Log Pearson Type III standard deviation file.",
     "Please close the program and try to re-load the Log Pearson Type III standard deviation "
     "file."},
    {"LP3K.txt", "LP3K", &ShellState::LP3KFileName, "Get LP3K file name",
     "Log Pearson Type III K-value File Name:",
     "Error identifying Log Pearson Type III K-value file.",
     "Please close the program and try to re-load the log Pearson type III K-value file."},
    {"LP3G.txt", "LP3G", &ShellState::LP3GFileName, "Get LP3G file name",
     "Log Pearson Type III Skew File Name:",
     "Error identifying the Log Pearson Type III skew file.",
     "Please close the program and try to re-load the Log Pearson Type III skew file."},
    {"UserWLS.txt", "UserWLS", &ShellState::UserWLSFileName, "Get UserWLS file name",
     "User-Defined Weighting Matrix File Name:", "", ""},
}};

std::string NameDerivation::nameFor(const InputFile& file) const {
  return kind == Prefix ? pattern + file.standardName : std::string(file.stem) + pattern + ".txt";
}

NameDerivation deriveNames(bool samePrefix, bool sameSuffix, const std::string& siteInfoName) {
  const long extra = static_cast<long>(trimBlanks(siteInfoName).size()) - kSiteInfoNameLength;
  NameDerivation d;
  if (samePrefix) {
    d.kind = NameDerivation::Prefix;
    d.askAll = extra < 0;
    if (extra > 0) d.pattern = siteInfoName.substr(0, static_cast<std::size_t>(extra));
  } else if (sameSuffix) {
    if (extra < 0) throw RunTimeError(err::kInvalidProcedureCall);
    d.kind = NameDerivation::Suffix;
    d.askAll = false;
    if (siteInfoName.size() > kSiteInfoStemLength)
      d.pattern = siteInfoName.substr(kSiteInfoStemLength, static_cast<std::size_t>(extra));
  }
  return d;
}

}  // namespace tarvex
