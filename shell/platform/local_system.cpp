#include "platform/local_system.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "platform/run_time_error.h"

namespace tarvex {

namespace fs = std::filesystem;

fs::path currentDirectory() {
  std::error_code ec;
  fs::path current = fs::current_path(ec);
  if (ec) throw fromErrorCode(ec, true);
  return current;
}

void setCurrentDirectory(const fs::path& folder) {
  std::error_code ec;
  fs::current_path(folder, ec);
  if (ec) throw fromErrorCode(ec, true);
}

CalendarDate localDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

namespace {

// A pipe whose write end closes when the child's exec succeeds; a failing child
// writes its errno into it first.
struct ExecPipe {
  ExecPipe() {
    if (::pipe2(fds, O_CLOEXEC) != 0) throw fromErrno(errno);
  }
  ~ExecPipe() {
    for (int fd : fds)
      if (fd >= 0) ::close(fd);
  }
  void closeWriteEnd() {
    ::close(fds[1]);
    fds[1] = -1;
  }
  int fds[2] = {-1, -1};
};

// Why a child did not become the program: the errno, and whether it was the folder.
struct ChildFailure {
  int error = 0;
  int inFolder = 0;
};

[[noreturn]] void failInChild(int pipeFd, bool inFolder) {
  const ChildFailure failure{errno, inFolder ? 1 : 0};
  (void)!::write(pipeFd, &failure, sizeof failure);
  ::_exit(127);
}

}  // namespace

StartedPrograms::~StartedPrograms() { reapFinished(); }

void StartedPrograms::reapFinished() {
  std::erase_if(running_, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
}

void StartedPrograms::start(const fs::path& program, const fs::path& folder,
                            const std::vector<std::string>& args) {
  reapFinished();
  std::error_code ec;
  if (!fs::is_regular_file(program, ec)) throw RunTimeError(err::kFileNotFound);
  if (::access(program.c_str(), X_OK) != 0) throw fromErrno(errno);
  if (!fs::is_directory(folder, ec)) throw RunTimeError(err::kPathNotFound);

  // Everything the child needs is made before the fork: after it, only calls that are
  // safe in a copy of a threaded process.
  std::vector<std::string> argStrings{program.string()};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);

  ExecPipe pipe;
  const pid_t pid = ::fork();
  if (pid < 0) throw fromErrno(errno);
  if (pid == 0) {
    ::setsid();
    if (::chdir(folder.c_str()) != 0) failInChild(pipe.fds[1], true);
    ::execv(program.c_str(), argv.data());
    failInChild(pipe.fds[1], false);
  }
  pipe.closeWriteEnd();
  ChildFailure failure;
  ssize_t got;
  do {
    got = ::read(pipe.fds[0], &failure, sizeof failure);
  } while (got < 0 && errno == EINTR);
  if (got == static_cast<ssize_t>(sizeof failure)) {
    ::waitpid(pid, nullptr, 0);
    throw fromErrno(failure.error, failure.inFolder != 0);
  }
  running_.push_back(pid);
}

bool StartedPrograms::waitForLast(int seconds) {
  if (running_.empty()) return true;
  const pid_t last = running_.back();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    const pid_t done = ::waitpid(last, nullptr, WNOHANG);
    if (done != 0) {
      running_.pop_back();
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

void openFolderInBrowser(StartedPrograms& programs, const fs::path& folder) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) throw RunTimeError(err::kPathNotFound);
  const char* path = std::getenv("PATH");
  std::string_view dirs = path ? path : "/usr/bin:/bin";
  while (true) {
    const auto colon = dirs.find(':');
    const fs::path candidate = fs::path(dirs.substr(0, colon)) / "xdg-open";
    if (!candidate.parent_path().empty() && fs::is_regular_file(candidate, ec) &&
        ::access(candidate.c_str(), X_OK) == 0) {
      programs.start(candidate, folder, {folder.string()});
      return;
    }
    if (colon == std::string_view::npos) break;
    dirs.remove_prefix(colon + 1);
  }
  throw RunTimeError(err::kFileNotFound);
}

}  // namespace tarvex
