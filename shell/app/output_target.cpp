#include "app/output_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_descriptor.h"
#include "platform/run_time_error.h"
#include "platform/safe_write.h"
#include "platform/text_file.h"

namespace tarvex {

namespace fs = std::filesystem;

std::optional<OutputTarget> OutputTarget::open(const std::string& option, const std::string& name,
                                               std::string& why) {
  OutputTarget target;
  if (name == "-") {
    target.standardOutput_ = true;
    return target;
  }
  if (name.empty()) {
    why = option + " needs a file name, or - for standard output";
    return std::nullopt;
  }
  // Named from where the program started, not from the data folder.
  std::error_code ec;
  target.path_ = fs::absolute(name, ec);
  struct stat info {};
  if (::stat(target.path_.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      why = "cannot write " + name + ": it is a folder";
      return std::nullopt;
    }
    target.stream_ = !S_ISREG(info.st_mode);
    if (!target.stream_ && ::access(target.path_.c_str(), W_OK) != 0) {
      why = "cannot write " + name + ": " + fromErrno(errno).description();
      return std::nullopt;
    }
  }
  if (!target.stream_) {
    // A new file is made where its folder takes one, as the safe rewrite will.
    const fs::path folder = target.path_.parent_path();
    if (!fs::is_directory(folder, ec) || ::access(folder.c_str(), W_OK | X_OK) != 0) {
      why = "cannot write " + name + ": " +
            (fs::is_directory(folder, ec) ? fromErrno(errno).description()
                                          : errorDescription(err::kPathNotFound));
      return std::nullopt;
    }
  }
  return target;
}

void OutputTarget::write(std::string_view text, std::ostream& out) const {
  if (standardOutput_) {
    out << text;
    return;
  }
  if (!stream_) {
    replaceFile(path_, text);
    return;
  }
  FileDescriptor file(::open(path_.c_str(), O_WRONLY | O_CLOEXEC));
  if (!file.valid()) throw fromErrno(errno);
  writeAll(file.get(), text);
}

}  // namespace tarvex
