#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_descriptor.h"
#include "platform/safe_write.h"

namespace tarvex {

// The new contents of a file of the data folder, made a piece at a time by a check and
// handed to CheckContext::finishRewrite, so that a file too large to hold is never held.
// Where the pieces go depends on the run: nowhere in a dry run; into memory in a preview,
// which keeps its rewrites whole to show them; otherwise to a temporary file beside the
// file, compared with what the file holds as they pass. While they match, nothing is
// written, so an unchanged file is left alone (and never refused for being read-only).
class RewriteDraft {
 public:
  enum class Mode { Discard, Memory, File };

  RewriteDraft(std::filesystem::path path, Mode mode, bool exists);
  RewriteDraft(const RewriteDraft&) = delete;
  RewriteDraft& operator=(const RewriteDraft&) = delete;

  // The bytes not yet passed on: a writer appends to them, then calls flushIfFull.
  std::string& text() { return pending_; }
  void append(std::string_view bytes) {
    pending_.append(bytes);
    flushIfFull();
  }
  void flushIfFull() {
    if (pending_.size() >= kFlushBytes && mode_ != Mode::Memory) flush();
  }

  const std::filesystem::path& path() const { return path_; }
  Mode mode() const { return mode_; }
  bool exists() const { return exists_; }

  // Files only: passes on the last bytes and tells whether the file already holds exactly
  // them. A failure of the writing is raised here, not where it happened, so that it is
  // reported as a failure to write the file.
  bool finishUnchanged();
  // Files only, after finishUnchanged said no: the new contents, to read back, and their
  // commit in place of the file.
  const std::filesystem::path& newContents() const { return file_->temporaryPath(); }
  void commit() { file_->commit(); }

 private:
  static constexpr std::size_t kFlushBytes = std::size_t{1} << 20;

  void flush();
  // True while the bytes passed on are the file's first bytes.
  bool matchesFile(std::string_view bytes);
  // The temporary file, begun with the bytes that matched so far.
  void startFile();

  std::filesystem::path path_;
  Mode mode_;
  bool exists_;
  std::string pending_;
  FileDescriptor existing_;    // the file as it is, while the bytes match it
  std::uint64_t matched_ = 0;  // bytes known to equal the file's first bytes
  std::string compared_;       // the file's bytes read to compare
  std::optional<PendingFile> file_;
  std::exception_ptr failure_;
};

}  // namespace tarvex
