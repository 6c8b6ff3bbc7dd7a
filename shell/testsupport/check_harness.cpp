#include "check_harness.h"

#include <filesystem>

namespace tarvex::testing {

void RecordingReport::addError() {
  ++state_.ErrorCount;
  ++countShows;
}

void RecordingReport::addWarning() {
  ++state_.WarningCount;
  ++countShows;
}

CheckHarness::CheckHarness(const std::string& answers)
    : desktop(out_, dataDir.path(), CalendarDate{2026, 12, 7}), script_(Script::parse(answers)) {
  desktop.setScript(&script_);
  state.WorkingDirectory = dataDir.dir();
  // The desktop goes back to the folder it started in when it is destroyed.
  std::filesystem::current_path(dataDir.path());
}

CheckHarness::~CheckHarness() = default;

std::string CheckHarness::file(const std::string& name, const std::string& bytes) const {
  dataDir.write(name, bytes);
  return name;
}

void CheckHarness::answer(const std::string& answers) {
  script_ = Script::parse(answers);
  desktop.setScript(&script_);
}

void CheckHarness::stations(const std::vector<std::string>& numbers) {
  state.StationCount = static_cast<long>(numbers.size());
  state.StationNumbers.assign(1, "");
  state.StationNumbers.insert(state.StationNumbers.end(), numbers.begin(), numbers.end());
  state.StationNumbersAsRead = state.StationNumbers;
}

}  // namespace tarvex::testing
