#include "app/data_folder.h"

#include "app/batch_report.h"
#include "checks/repair_log.h"
#include "platform/run_time_error.h"

namespace tarvex {

namespace fs = std::filesystem;

std::optional<fs::path> existingDataFolder(const std::string& given, std::ostream& err) {
  std::error_code ec;
  const fs::path folder = fs::canonical(given, ec);
  if (ec || !fs::is_directory(folder, ec)) {
    err << "TARVEXshellv01: no data folder " << utf8Text(given) << "\n";
    return std::nullopt;
  }
  return folder;
}

bool dataFolderBusy(const FolderLock& lock, const std::string& given, std::ostream& err) {
  if (!lock.busy()) return false;
  err << "TARVEXshellv01: " << utf8Text(given)
      << " is in use by another check, repair or run; try again when it has finished\n";
  return true;
}

void logRepairs(const fs::path& folder, const std::string& program, const FileChanges& changes,
                std::optional<long> undoes, std::ostream& err) {
  try {
    appendRepairLog(folder, program, changes, undoes);
  } catch (const RunTimeError& e) {
    err << "TARVEXshellv01: cannot write the repair log: " << e.description() << "\n";
  }
}

}  // namespace tarvex
