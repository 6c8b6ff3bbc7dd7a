#include "platform/local_system.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

// A file for a child's standard error that no folder shows: made in the temporary folder
// and never named. Without one, the child keeps the shell's standard error.
FileDescriptor unnamedErrorFile() {
  const char* tmp = std::getenv("TMPDIR");
  FileDescriptor file(::open(tmp && *tmp ? tmp : "/tmp", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
  if (!file.valid()) file = FileDescriptor(::memfd_create("program-errors", MFD_CLOEXEC));
  return file;
}

// The last lines of a file, at most `lines` of them from its last `bytes` bytes, joined
// with CR LF as the boxes show text.
std::string lastLines(int fd, std::size_t lines, std::size_t bytes) {
  struct stat info {};
  if (fd < 0 || ::fstat(fd, &info) != 0) return {};
  const auto size = static_cast<std::size_t>(info.st_size);
  std::string tail(std::min(size, bytes), '\0');
  const ssize_t got = ::pread(fd, tail.data(), tail.size(), static_cast<off_t>(size - tail.size()));
  tail.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  std::vector<std::string> all;
  for (std::size_t at = 0; at < tail.size();) {
    const auto end = std::min(tail.find('\n', at), tail.size());
    std::string line = tail.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    all.push_back(std::move(line));
    at = end + 1;
  }
  const std::size_t first = all.size() > lines ? all.size() - lines : 0;
  std::string text;
  for (std::size_t i = first; i < all.size(); ++i) (text += i > first ? "\r\n" : "") += all[i];
  return text;
}

constexpr std::size_t kErrorLines = 10;
constexpr std::size_t kErrorBytes = 4096;

}  // namespace

StartedPrograms::~StartedPrograms() {
  for (Started& started : started_) reap(started);
}

bool StartedPrograms::reap(Started& started) {
  if (started.exitStatus) return true;
  int status = 0;
  pid_t done;
  do {
    done = ::waitpid(started.pid, &status, WNOHANG);
  } while (done < 0 && errno == EINTR);
  if (done == 0) return false;
  if (done < 0)
    started.exitStatus = 0;  // not our child any more: nothing to tell
  else
    started.exitStatus = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
  return true;
}

ProgramId StartedPrograms::start(const fs::path& program, const fs::path& folder,
                                 const std::vector<std::string>& args) {
  for (Started& started : started_) reap(started);
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
  FileDescriptor errors = unnamedErrorFile();

  ExecPipe pipe;
  const pid_t pid = ::fork();
  if (pid < 0) throw fromErrno(errno);
  if (pid == 0) {
    ::setsid();
    if (errors.valid()) ::dup2(errors.get(), STDERR_FILENO);
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
  started_.push_back(Started{pid, std::move(errors), std::nullopt});
  return pid;
}

bool StartedPrograms::waitForLast(int seconds) {
  if (started_.empty()) return true;
  Started& last = started_.back();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (reap(last)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return reap(last);
}

ProgramStatus StartedPrograms::status(ProgramId program) {
  for (Started& started : started_) {
    if (started.pid != program) continue;
    if (!reap(started)) return {true, 0, {}};
    return {false, *started.exitStatus, lastLines(started.errors.get(), kErrorLines, kErrorBytes)};
  }
  return {};
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
  throw RunTimeError(err::kFileNotFound,
                     errorDescription(err::kFileNotFound) +
                         ": xdg-open, which opens folders on the desktop, is not installed "
                         "(package xdg-utils)");
}

}  // namespace tarvex
