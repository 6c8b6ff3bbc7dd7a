#include "run/file_routines.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/error_trap.h"
#include "platform/run_time_error.h"
#include "platform/safe_write.h"
#include "platform/text_file.h"

namespace tarvex {

namespace fs = std::filesystem;

namespace {

// "data/" and "data" name the same folder; the trailing separator would otherwise
// give the path an empty file name.
fs::path withoutTrailingSlash(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  return fs::path(trimmed);
}

// A destination ending in '/' is a folder to copy into, keeping the source's name.
fs::path copyTarget(const fs::path& source, const std::string& destination) {
  if (!destination.empty() && destination.back() == '/')
    return withoutTrailingSlash(destination) / source.filename();
  return fs::path(destination);
}

// Copies one file through the safe rewrite, so a replaced file is never half written.
// The copy keeps the source's permissions: the engine program must stay executable.
void copyOneFile(const fs::path& source, const fs::path& target) {
  std::error_code ec;
  const fs::file_status status = fs::status(source, ec);
  if (ec || !fs::is_regular_file(status)) throw RunTimeError(err::kFileNotFound);
  replaceFile(target, readFileBytes(source));
  fs::permissions(target, status.permissions() & fs::perms::all, ec);
  if (ec) throw fromErrorCode(ec);
}

void copyFolder(const fs::path& source, const fs::path& target) {
  std::error_code ec;
  if (!fs::is_directory(source, ec)) throw RunTimeError(err::kPathNotFound);
  // List first: a target inside the source must not be copied into itself.
  std::vector<fs::directory_entry> entries;
  for (auto it = fs::recursive_directory_iterator(source); it != fs::recursive_directory_iterator();
       ++it)
    entries.push_back(*it);
  fs::create_directories(target);
  for (const auto& entry : entries) {
    const fs::path to = target / fs::relative(entry.path(), source);
    if (entry.is_directory())
      fs::create_directories(to);
    else
      copyOneFile(entry.path(), to);
  }
}

// Removes a folder and everything in it. Entries of read-only sub-folders can only
// go once those folders are writable again.
void deleteFolder(const fs::path& folder) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) throw RunTimeError(err::kPathNotFound);
  if (!folder.has_relative_path()) throw RunTimeError(err::kPermissionDenied);  // the root
  // A link to a folder goes, not what it points to.
  if (fs::is_symlink(folder, ec)) {
    fs::remove(folder);
    return;
  }
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
  for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator();
       ++it)
    if (it->is_directory() && !it->is_symlink())
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(folder);
}

void createFolder(const fs::path& folder) {
  std::error_code ec;
  if (fs::exists(fs::symlink_status(folder, ec))) throw RunTimeError(err::kFileAlreadyExists);
  if (!fs::create_directory(folder, ec) && ec) throw fromErrorCode(ec, true);
}

void deleteFile(const fs::path& file) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(file, ec);
  if (ec || !fs::exists(status) || fs::is_directory(status)) throw RunTimeError(err::kFileNotFound);
  if (!fs::remove(file, ec) && ec) throw fromErrorCode(ec);
}

// A name from the initialization file may only point inside the data directory:
// "..", "./" or an absolute path would have the clean-up delete the user's data.
bool staysInside(const std::string& name) {
  const fs::path path = fs::path(name).lexically_normal();
  if (path.empty() || path.is_absolute() || path == "." || path == "./") return false;
  for (const auto& part : path)
    if (part == "..") return false;
  return true;
}

bool isWithin(const fs::path& inner, const fs::path& outer) {
  auto [outerEnd, innerAt] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
  return outerEnd == outer.end();
}

// The entry `name` of `directory` really lies inside it: the folders on its way are
// resolved through their links (the entry itself is not, since a link is removed as a
// link), and the result must still be below the directory's real location.
bool reallyInside(const std::string& directory, const std::string& name) {
  if (!staysInside(name)) return false;
  std::error_code ec;
  const fs::path root = fs::canonical(withoutTrailingSlash(directory), ec);
  if (ec) return false;
  const fs::path entry = fs::path(directory) / withoutTrailingSlash(name);
  const fs::path folder = fs::canonical(entry.parent_path(), ec);
  return !ec && isWithin(folder, root) && folder / entry.filename() != root;
}

}  // namespace

namespace {
// The system stops reading a name at a NUL byte, so "a\0b" would test "a".
bool usableName(const std::string& path) {
  return !path.empty() && path.find('\0') == std::string::npos;
}
}  // namespace

bool FileExists(const std::string& path) {
  std::error_code ec;
  return usableName(path) && fs::is_regular_file(path, ec);
}

bool FolderExists(const std::string& path) {
  std::error_code ec;
  return usableName(path) && fs::is_directory(path, ec);
}

bool sameFolder(const std::string& first, const std::string& second) {
  if (first == second) return true;
  std::error_code ec;
  return usableName(first) && usableName(second) && fs::equivalent(first, second, ec);
}

std::optional<RunTimeError> MakeDestroyFolder(Desktop& desktop, const std::string& path, int action,
                                              const std::string& destination) {
  return withErrorBox(desktop, TrapText::Sub, "Sub MakeDestroyFolder ", [&] {
    const fs::path folder = withoutTrailingSlash(path);
    switch (action) {
      case kCopyFolder:
        copyFolder(folder, copyTarget(folder, destination));
        break;
      case kDeleteFolder:
        deleteFolder(folder);
        break;
      case kCreateFolder:
        createFolder(folder);
        break;
      default:
        break;
    }
  });
}

std::optional<RunTimeError> CopyDeleteFile(Desktop& desktop, const std::string& path, int action,
                                           const std::string& destination) {
  return withErrorBox(desktop, TrapText::Sub, " Sub ", [&] {
    const fs::path file(path);
    switch (action) {
      case kCopyFile:
        copyOneFile(file, copyTarget(file, destination));
        break;
      case kDeleteFile:
        deleteFile(file);
        break;
      default:
        break;
    }
  });
}

bool sameBytes(const std::string& first, const std::string& second) {
  std::error_code ec1, ec2;
  // Files of other sizes differ: the engine's program is not read for nothing.
  if (std::filesystem::file_size(first, ec1) != std::filesystem::file_size(second, ec2) && !ec1 &&
      !ec2)
    return false;
  try {
    return readFileBytes(first) == readFileBytes(second);
  } catch (const RunTimeError&) {
    return false;
  }
}

void CleanUpDir(Desktop& desktop, const ShellState& state, const std::string& directory) {
  withErrorBox(desktop, TrapText::Sub, "Sub CleanUpDir ", [&] {
    // A program still running keeps its files: the engine may be reading them.
    if (state.EngineProgram != 0 && desktop.programStatus(state.EngineProgram).running) return;
    const auto copiedHere = [&](const std::string& name) {
      return std::find(state.EngineFilesCopied.begin(), state.EngineFilesCopied.end(), name) !=
                 state.EngineFilesCopied.end() &&
             sameBytes(directory + name, state.ShellDirectory + name);
    };
    for (const std::string* name : {&state.TARVEXExeName, &state.TARVEXCtfName}) {
      if (name->size() > 1 && reallyInside(directory, *name) && FileExists(directory + *name) &&
          copiedHere(*name))
        CopyDeleteFile(desktop, directory + *name, kDeleteFile);
    }
    const std::string& folder = state.TARVEXFolderName;
    if (folder.size() > 1 && state.EngineFolderMadeByRun && reallyInside(directory, folder) &&
        FolderExists(directory + folder))
      MakeDestroyFolder(desktop, directory + folder, kDeleteFolder);
  });
}

}  // namespace tarvex
