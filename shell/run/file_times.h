#pragma once

#include <chrono>
#include <filesystem>
#include <optional>

namespace tarvex {

// A time as the file system keeps it: nanoseconds since the epoch.
using FileTime = std::chrono::nanoseconds;

// The later of a file's last modification and its creation, of the entry itself (a link
// is not followed); creation counts where the file system records it. Nothing when the
// entry cannot be read.
std::optional<FileTime> lastChangeTime(const std::filesystem::path& file);

// The file system's clock in `folder`, read from a marker file written there and removed
// again. File times come from a coarser clock than the process's: a file written a
// moment after a clock reading can carry an earlier time. The marker is touched until its
// time has moved on, so every file written before the call is older than the result and
// every file written after it is at least as new. A RunTimeError when the folder takes no
// file.
FileTime fileSystemNow(const std::filesystem::path& folder);

// Moves a file to `target`, which must not exist. Within one file system the entry is
// renamed; across file systems it is copied whole and the source removed after. On any
// failure, the target existing included, the source stays and a RunTimeError says why.
void moveFile(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace tarvex
