#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tarvex {

class TemporaryFile;

// Writes that the user's data survives: every file appears whole or not at all, a file
// is never replaced by accident, and a killed write leaves only a temporary file that the
// next run removes (removeStaleTemporaryFiles).

// Writes `bytes` as the new contents of `target`: a temporary file in the same folder,
// written, synced, then renamed over the target. On failure the old file is intact, no
// temporary file is left, and a RunTimeError says why.
// - A link is followed: its target is rewritten and the link stays. A link whose target
//   lies outside the link's own folder is refused (75).
// - A file the user may not write (no write permission, or none at all for anyone) is
//   refused (70), even where the folder would allow the rename.
// - The new file keeps the mode, owner and group of the file it replaces (owner and group
//   where the process may set them); `mode` gives it another mode instead.
void replaceFile(const std::filesystem::path& target, std::string_view bytes,
                 std::optional<std::filesystem::perms> mode = std::nullopt);

// A new version of `target` written a piece at a time, for contents too large to hold: the
// pieces go to a temporary file beside the file, and commit() puts it in place as
// replaceFile does, with the same refusals (raised when it is made, before anything is
// written). Without a commit the temporary file is removed and `target` is untouched.
class PendingFile {
 public:
  explicit PendingFile(const std::filesystem::path& target);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  void write(std::string_view bytes);
  // Where the pieces are, to read them back before the commit.
  const std::filesystem::path& temporaryPath() const;
  void commit(std::optional<std::filesystem::perms> mode = std::nullopt);

 private:
  std::filesystem::path target_;  // the file the commit replaces (a link's target)
  std::unique_ptr<TemporaryFile> temp_;
};

// The file a rewrite of `target` writes: `target` itself, or a link's final target. Raises
// replaceFile's refusals, so a caller can tell before it writes anything.
std::filesystem::path rewriteTarget(const std::filesystem::path& target);

// Saves `bytes` as a new file in `folder` under `name`, or, when that is taken, under the
// first free "-2", "-3", ... variant (the number goes before the extension:
// "a.txt-BadFile-3-7-2011-2.txt"). Nothing is ever replaced, and the file appears only
// complete and synced. It takes the mode, owner and group of `like`. Returns the name used.
std::string saveNewFile(const std::filesystem::path& folder, const std::string& name,
                        std::string_view bytes, const std::filesystem::path& like);

// As saveNewFile, with the bytes of `source`, read a block at a time, and its mode, owner
// and group.
std::string saveNewFileCopy(const std::filesystem::path& folder, const std::string& name,
                            const std::filesystem::path& source);

// `name` with "-n" before its extension; `name` itself for n = 1.
std::string numberedName(const std::string& name, int n);

// True for the name of a temporary file of replaceFile or saveNewFile.
bool isTemporaryFileName(std::string_view name);

// Removes the temporary files that a killed write left directly in `folder`. Call it only
// while no write of this program can be under way there (under the folder's lock).
void removeStaleTemporaryFiles(const std::filesystem::path& folder);

}  // namespace tarvex
