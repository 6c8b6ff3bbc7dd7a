#include "checks/repair_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <nlohmann/json.hpp>

#include "platform/file_descriptor.h"
#include "platform/run_time_error.h"
#include "platform/text_file.h"

namespace tarvex {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

namespace {

std::string utcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  ::gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

// One line whole, or nothing: a single append, synced.
void appendLine(const fs::path& file, const std::string& line) {
  FileDescriptor log(::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
  if (!log.valid()) throw fromErrno(errno);
  writeAll(log.get(), line);
  if (::fsync(log.get()) != 0) throw fromErrno(errno);
}

}  // namespace

std::optional<long> appendRepairLog(const fs::path& folder, const std::string& program,
                                    const FileChanges& changes, std::optional<long> undoes) {
  // The files the run replaced: what it made anew (the engine's copies) repairs nothing.
  std::vector<const Rewrite*> replaced;
  for (const Rewrite& rewrite : changes.rewrites)
    if (rewrite.existed) replaced.push_back(&rewrite);
  if (replaced.empty()) return std::nullopt;
  const auto runs = readRepairLog(folder);
  const long run = runs.empty() ? 1 : runs.back().run + 1;
  json record;
  record["run"] = run;
  record["time"] = utcNow();
  record["program"] = program;
  if (undoes) record["undoes"] = *undoes;
  json files = json::array();
  for (const Rewrite* rewrite : replaced)
    files.push_back({{"file", rewrite->name},
                     {"backup", rewrite->backup ? json(*rewrite->backup) : json(nullptr)},
                     {"before", rewrite->beforeHash},
                     {"after", rewrite->afterHash}});
  record["files"] = std::move(files);
  // Names are bytes in the tables' code page; the log stays readable whatever they hold.
  appendLine(folder / kRepairLogName,
             record.dump(-1, ' ', false, json::error_handler_t::replace) + "\n");
  return run;
}

std::vector<LoggedRun> readRepairLog(const fs::path& folder) {
  std::vector<LoggedRun> runs;
  std::string text;
  try {
    text = readFileBytes(folder / kRepairLogName);
  } catch (const RunTimeError&) {
    return runs;
  }
  for (std::size_t at = 0; at < text.size();) {
    const auto end = std::min(text.find('\n', at), text.size());
    const json record = json::parse(text.substr(at, end - at), nullptr, false);
    at = end + 1;
    if (record.is_discarded() || !record.is_object()) continue;
    try {
      LoggedRun run{record.at("run").get<long>(), record.at("time").get<std::string>(),
                    record.at("program").get<std::string>()};
      if (record.contains("undoes")) run.undoes = record["undoes"].get<long>();
      for (const json& file : record.at("files"))
        run.files.push_back(
            {file.at("file").get<std::string>(),
             file.at("backup").is_null() ? std::nullopt
                                         : std::optional(file.at("backup").get<std::string>()),
             file.at("before").get<std::string>(), file.at("after").get<std::string>()});
      runs.push_back(std::move(run));
    } catch (const json::exception&) {
      // Not a whole record: passed over.
    }
  }
  return runs;
}

}  // namespace tarvex
