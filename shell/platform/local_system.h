#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/file_descriptor.h"

namespace tarvex {

// What every desktop needs of the machine it runs on, so that desktops differ only in
// how they ask the user. Failures are run-time errors.

std::filesystem::path currentDirectory();
void setCurrentDirectory(const std::filesystem::path& folder);
CalendarDate localDate();

// The programs a desktop started. They run detached (their own session, not waited
// for); finished ones are reaped on the next start and when this goes away, so none is
// left a zombie, and how each ended is kept. Running ones are never stopped: the engine
// outlives the shell. What a program writes to its standard error goes to a file of its
// own outside every folder of the user's, so its last lines can be shown.
class StartedPrograms {
 public:
  StartedPrograms() = default;
  ~StartedPrograms();
  StartedPrograms(const StartedPrograms&) = delete;
  StartedPrograms& operator=(const StartedPrograms&) = delete;

  // Starts `program` with `args` in `folder`. A program that cannot run (missing, not
  // executable, no such folder) raises here rather than in a child nobody watches.
  ProgramId start(const std::filesystem::path& program, const std::filesystem::path& folder,
                  const std::vector<std::string>& args = {});
  // Waits up to `seconds` for the last program started; true when it has exited.
  bool waitForLast(int seconds);
  // Whether `program` still runs, and how it ended; an unknown one counts as ended.
  ProgramStatus status(ProgramId program);

 private:
  struct Started {
    pid_t pid = 0;
    FileDescriptor errors;          // its standard error
    std::optional<int> exitStatus;  // once it has ended
  };
  // Records how `started` ended, when it has, without waiting; true once it has.
  bool reap(Started& started);

  std::vector<Started> started_;
};

// Shows a folder in the desktop's file browser (through xdg-open). A missing folder
// or a desktop without a browser opener raises.
void openFolderInBrowser(StartedPrograms& programs, const std::filesystem::path& folder);

}  // namespace tarvex
