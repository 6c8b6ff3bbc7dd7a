#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace tarvex {

// What every desktop needs of the machine it runs on, so that desktops differ only in
// how they ask the user. Failures are run-time errors.

std::filesystem::path currentDirectory();
void setCurrentDirectory(const std::filesystem::path& folder);
CalendarDate localDate();

// The programs a desktop started. They run detached (their own session, not waited
// for); finished ones are reaped on the next start and when this goes away, so none is
// left a zombie. Running ones are never stopped: the engine outlives the shell.
class StartedPrograms {
 public:
  StartedPrograms() = default;
  ~StartedPrograms();
  StartedPrograms(const StartedPrograms&) = delete;
  StartedPrograms& operator=(const StartedPrograms&) = delete;

  // Starts `program` with `args` in `folder`. A program that cannot run (missing, not
  // executable, no such folder) raises here rather than in a child nobody watches.
  void start(const std::filesystem::path& program, const std::filesystem::path& folder,
             const std::vector<std::string>& args = {});
  // Waits up to `seconds` for the last program started; true when it has exited.
  bool waitForLast(int seconds);

 private:
  void reapFinished();

  std::vector<pid_t> running_;
};

// Shows a folder in the desktop's file browser (through xdg-open). A missing folder
// or a desktop without a browser opener raises.
void openFolderInBrowser(StartedPrograms& programs, const std::filesystem::path& folder);

}  // namespace tarvex
