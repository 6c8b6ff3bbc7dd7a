#include "run/file_routines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "file_size_limit.h"
#include "platform/scripted/scripted_desktop.h"
#include "temp_dir.h"
#include "transcript.h"
#include "unprivileged.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;

std::string box(const std::string& title, const std::string& text) {
  return msgBoxBlock(16, title, text);
}

// Names in the folder, sorted, so a stray temporary file shows up.
std::vector<std::string> listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    names.push_back(fs::relative(entry.path(), folder).string());
  std::sort(names.begin(), names.end());
  return names;
}

class FileRoutines : public ::testing::Test {
 protected:
  std::string at(const std::string& name) const { return dir.dir() + name; }

  TempDir dir;
  std::ostringstream out;
  ScriptedDesktop desktop{out, dir.path(), CalendarDate{2026, 12, 7}};
};

TEST_F(FileRoutines, PresenceTests) {
  dir.write("file.txt", "x");
  dir.write("sub/inner.txt", "y");
  fs::create_symlink(dir.path() / "file.txt", dir.path() / "link.txt");
  struct Case {
    std::string path;
    bool file;
    bool folder;
  };
  const std::vector<Case> cases = {
      {at("file.txt"), true, false},
      {at("link.txt"), true, false},
      {at("sub"), false, true},
      {at("sub/"), false, true},
      {at("sub/inner.txt"), true, false},
      {at("missing"), false, false},
      {at("missing/"), false, false},
      {at("file.txt/"), false, false},
      {"", false, false},
      {dir.dir(), false, true},
      // Relative paths resolve against the current directory.
      {"file.txt", true, false},
      {"sub", false, true},
  };
  desktop.setCurrentDirectory(dir.path());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FileExists(c.path), c.file);
    EXPECT_EQ(FolderExists(c.path), c.folder);
  }
}

// What a table case finds before the call: entries ending in '/' are folders,
// the others files; `readOnly` entries lose their write permission.
struct Setting {
  std::vector<std::string> entries;
  std::vector<std::string> readOnly = {};
};

void lay(const TempDir& d, const Setting& setting) {
  for (const auto& entry : setting.entries) {
    if (entry.back() == '/')
      fs::create_directories(d.path() / entry);
    else
      d.write(entry, entry == "a.txt" || entry.starts_with("src/") ? "new" : "old");
  }
  for (const auto& entry : setting.readOnly)
    fs::permissions(d.path() / entry, fs::perms::owner_write | fs::perms::group_write,
                    fs::perm_options::remove);
}

struct RoutineCase {
  std::string name;
  Setting setting;
  std::string path;
  int action;
  std::string destination;
  int status;
  std::string box;  // text of the one error box, empty for none
  std::vector<std::string> after;
  std::string copied = {};  // a file that must now hold the source's bytes
};

using Routine = std::optional<RunTimeError> (*)(Desktop&, const std::string&, int,
                                                const std::string&);

int statusOf(const std::optional<RunTimeError>& error) { return error ? error->number() : 0; }

void runCases(Routine routine, const std::string& title, const std::vector<RoutineCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir d;
    std::ostringstream transcript;
    ScriptedDesktop boxes(transcript, d.path());
    lay(d, c.setting);
    EXPECT_EQ(statusOf(routine(boxes, d.dir() + c.path, c.action, d.dir() + c.destination)),
              c.status);
    EXPECT_EQ(transcript.str(), c.box.empty() ? "" : box(title, c.box));
    EXPECT_EQ(listing(d.path()), c.after);
    if (!c.copied.empty()) {
      EXPECT_EQ(d.read(c.copied), "new");
    }
  }
}

TEST_F(FileRoutines, CopyDeleteFileActions) {
  // clang-format off
  const std::vector<RoutineCase> cases = {
      {"copy to a new name", {{"a.txt"}}, "a.txt", kCopyFile, "b.txt", 0, "", {"a.txt", "b.txt"},
       "b.txt"},
      {"copy replacing a file", {{"a.txt", "b.txt"}}, "a.txt", kCopyFile, "b.txt", 0, "",
       {"a.txt", "b.txt"}, "b.txt"},
      // The user's read-only file is kept; the copy says why it did not happen.
      {"copy replacing a read-only file", {{"a.txt", "b.txt"}, {"b.txt"}}, "a.txt", kCopyFile,
       "b.txt", 70, "Error: 70 Permission denied: b.txt is read-only and is not rewritten",
       {"a.txt", "b.txt"}},
      {"copy into a folder", {{"a.txt", "out/"}}, "a.txt", kCopyFile, "out/", 0, "",
       {"a.txt", "out", "out/a.txt"}, "out/a.txt"},
      {"copy a missing file", {}, "a.txt", kCopyFile, "b.txt", 53, "Error: 53 File not found", {}},
      {"copy a folder as a file", {{"a.txt/"}}, "a.txt", kCopyFile, "b.txt", 53,
       "Error: 53 File not found", {"a.txt"}},
      {"copy into a missing folder", {{"a.txt"}}, "a.txt", kCopyFile, "none/b.txt", 76,
       "Error: 76 Path not found", {"a.txt"}},
      {"copy onto a folder", {{"a.txt", "b.txt/"}}, "a.txt", kCopyFile, "b.txt", 75,
       "Error: 75 Path/File access error", {"a.txt", "b.txt"}},
      {"delete", {{"a.txt", "b.txt"}}, "a.txt", kDeleteFile, "", 0, "", {"b.txt"}},
      {"delete a read-only file", {{"a.txt"}, {"a.txt"}}, "a.txt", kDeleteFile, "", 0, "", {}},
      {"delete a missing file", {}, "a.txt", kDeleteFile, "", 53, "Error: 53 File not found", {}},
      {"delete a folder as a file", {{"a.txt/"}}, "a.txt", kDeleteFile, "", 53,
       "Error: 53 File not found", {"a.txt"}},
      {"unknown action", {{"a.txt"}}, "a.txt", 2, "b.txt", 0, "", {"a.txt"}},
  };
  // clang-format on
  runCases(CopyDeleteFile, " Sub ", cases);
}

TEST_F(FileRoutines, ReadOnlyFoldersRefuseChanges) {
  SKIP_UNLESS_PERMISSIONS_APPLY();
  const Setting roFolder{{"a.txt", "ro/", "ro/b.txt", "ro/sub/"}, {"ro"}};
  const std::vector<std::string> untouched = {"a.txt", "ro", "ro/b.txt", "ro/sub"};
  const std::string denied = "Error: 70 Permission denied";
  // clang-format off
  const std::vector<RoutineCase> files = {
      {"copy into a read-only folder", roFolder, "a.txt", kCopyFile, "ro/c.txt", 70, denied,
       untouched},
      {"copy over a file of a read-only folder", roFolder, "a.txt", kCopyFile, "ro/b.txt", 70,
       denied, untouched},
      {"delete from a read-only folder", roFolder, "ro/b.txt", kDeleteFile, "", 70, denied,
       untouched},
  };
  const std::vector<RoutineCase> folders = {
      {"create in a read-only folder", roFolder, "ro/new", kCreateFolder, "", 70, denied,
       untouched},
  };
  // clang-format on
  runCases(CopyDeleteFile, " Sub ", files);
  runCases(MakeDestroyFolder, "Sub MakeDestroyFolder ", folders);
}

TEST_F(FileRoutines, CopyKeepsTheProgramExecutable) {
  dir.write("engine", "#!/bin/sh\n");
  fs::permissions(dir.path() / "engine", fs::perms::owner_all | fs::perms::group_read);
  EXPECT_FALSE(CopyDeleteFile(desktop, at("engine"), kCopyFile, at("copy")));
  EXPECT_EQ(fs::status(dir.path() / "copy").permissions(),
            fs::perms::owner_all | fs::perms::group_read);
}

TEST_F(FileRoutines, FailedReplaceLeavesTheOldFileIntact) {
  dir.write("a.txt", std::string(64 * 1024, 'x'));
  dir.write("b.txt", "the user's data");
  {
    const FileSizeLimit limit(4096);
    EXPECT_EQ(statusOf(CopyDeleteFile(desktop, at("a.txt"), kCopyFile, at("b.txt"))), 61);
  }
  EXPECT_EQ(out.str(), box(" Sub ", "Error: 61 Disk full"));
  EXPECT_EQ(dir.read("b.txt"), "the user's data");
  EXPECT_EQ(listing(dir.path()), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(FileRoutines, MakeDestroyFolderActions) {
  const std::vector<std::string> tree = {"src/a.txt", "src/deep/b.txt"};
  const std::vector<std::string> treeAfter = {"src", "src/a.txt", "src/deep", "src/deep/b.txt"};
  const auto plus = [&](std::vector<std::string> names) {
    names.insert(names.end(), treeAfter.begin(), treeAfter.end());
    std::sort(names.begin(), names.end());
    return names;
  };
  // clang-format off
  const std::vector<RoutineCase> cases = {
      {"create", {}, "out", kCreateFolder, "", 0, "", {"out"}},
      {"create with a trailing slash", {}, "out/", kCreateFolder, "", 0, "", {"out"}},
      {"create under a missing parent", {}, "none/out", kCreateFolder, "", 76,
       "Error: 76 Path not found", {}},
      {"create an existing folder", {tree}, "src", kCreateFolder, "", 58,
       "Error: 58 File already exists", treeAfter},
      {"delete with contents", {tree}, "src/", kDeleteFolder, "", 0, "", {}},
      {"delete with read-only contents", {tree, {"src/a.txt", "src/deep"}}, "src", kDeleteFolder,
       "", 0, "", {}},
      {"delete a missing folder", {}, "src", kDeleteFolder, "", 76, "Error: 76 Path not found", {}},
      {"delete a file as a folder", {{"src"}}, "src", kDeleteFolder, "", 76,
       "Error: 76 Path not found", {"src"}},
      {"copy to a new folder", {tree}, "src", kCopyFolder, "dst", 0, "",
       plus({"dst", "dst/a.txt", "dst/deep", "dst/deep/b.txt"}), "dst/deep/b.txt"},
      {"copy over a folder", {{"src/a.txt", "src/deep/b.txt", "dst/a.txt", "dst/keep.txt"}}, "src",
       kCopyFolder, "dst", 0, "", plus({"dst", "dst/a.txt", "dst/deep", "dst/deep/b.txt",
       "dst/keep.txt"}), "dst/a.txt"},
      {"copy into a folder", {{"src/a.txt", "src/deep/b.txt", "dst/src/a.txt"}}, "src",
       kCopyFolder, "dst/", 0, "", plus({"dst", "dst/src", "dst/src/a.txt", "dst/src/deep",
       "dst/src/deep/b.txt"}), "dst/src/a.txt"},
      {"copy a missing folder", {}, "src", kCopyFolder, "dst", 76, "Error: 76 Path not found", {}},
      {"unknown action", {tree}, "src", 3, "", 0, "", treeAfter},
  };
  // clang-format on
  runCases(MakeDestroyFolder, "Sub MakeDestroyFolder ", cases);
}

TEST_F(FileRoutines, CleanUpDirRemovesOnlyTheEngine) {
  struct Case {
    std::string name;
    std::string exe, ctf, folder;
    std::vector<std::string> kept;  // of the engine's files, besides the user's
    std::vector<std::string> copied = {"TARVEXv1", "TARVEXv1.ctf"};  // by this session
    bool folderMadeByRun = true;
    std::string shellBytes = "bytes";  // of the shell's own copies
  };
  const std::vector<std::string> engine = {"TARVEXv1", "TARVEXv1.ctf", "engine", "engine/x.dat"};
  const std::vector<Case> cases = {
      {"engine files and folder", "TARVEXv1", "TARVEXv1.ctf", "engine", {}},
      // Files and a folder of the user's that only bear the engine's names stay.
      {"files this session did not copy",
       "TARVEXv1",
       "TARVEXv1.ctf",
       "engine",
       {"TARVEXv1.ctf", "engine", "engine/x.dat"},
       {"TARVEXv1"},
       false},
      {"files changed since they were copied",
       "TARVEXv1",
       "TARVEXv1.ctf",
       "",
       engine,
       {"TARVEXv1", "TARVEXv1.ctf"},
       true,
       "other bytes"},
      {"no engine folder named", "TARVEXv1", "TARVEXv1.ctf", "", {"engine", "engine/x.dat"}},
      {"one-character names", "x", "y", "z", engine},
      {"names not present", "other", "other.ctf", "none", engine},
      // Names from the initialization file that would reach the user's data.
      {"names leaving the folder", "../outside.txt", "/outside.txt", "../data", engine},
      {"the folder itself", "TARVEXv1", "TARVEXv1.ctf", "./", {"engine", "engine/x.dat"}},
      {"the folder through a detour",
       "TARVEXv1",
       "TARVEXv1.ctf",
       "engine/..",
       {"engine", "engine/x.dat"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir outer;
    outer.write("outside.txt", "not ours");
    for (const char* name : {"TARVEXv1", "TARVEXv1.ctf", "engine/x.dat", "x", "y", "SiteInfo.txt",
                             "TARVEXOutput-2026-12-07Run001/out.txt"})
      outer.write(std::string("data/") + name, "bytes");
    fs::create_directory(outer.path() / "data/z");
    for (const char* name : {"TARVEXv1", "TARVEXv1.ctf"})
      outer.write(std::string("shell/") + name, c.shellBytes);
    std::ostringstream transcript;
    ScriptedDesktop boxes(transcript, outer.path());
    ShellState state;
    state.ShellDirectory = outer.dir() + "shell/";
    state.TARVEXExeName = c.exe;
    state.TARVEXCtfName = c.ctf;
    state.TARVEXFolderName = c.folder;
    state.EngineFilesCopied = c.copied;
    state.EngineFolderMadeByRun = c.folderMadeByRun;
    CleanUpDir(boxes, state, outer.dir() + "data/");
    EXPECT_EQ(transcript.str(), "");
    std::vector<std::string> expected = {"SiteInfo.txt",
                                         "TARVEXOutput-2026-12-07Run001",
                                         "TARVEXOutput-2026-12-07Run001/out.txt",
                                         "x",
                                         "y",
                                         "z"};
    expected.insert(expected.end(), c.kept.begin(), c.kept.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listing(outer.path() / "data"), expected);
    EXPECT_EQ(outer.read("outside.txt"), "not ours");
  }
}

TEST_F(FileRoutines, CleanUpDirNeverFollowsALinkOutOfTheDataFolder) {
  struct Case {
    std::string name;
    std::string exe, ctf, folder;
    std::vector<std::string> removed;  // entries of the data folder that go
  };
  const std::vector<Case> cases = {
      {"a link in the middle of every name", "sub/TARVEXv1", "sub/TARVEXv1.ctf", "sub/engine", {}},
      {"links to the engine files go as links",
       "TARVEXv1",
       "TARVEXv1.ctf",
       "engine",
       {"TARVEXv1", "TARVEXv1.ctf", "engine"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir outer;
    for (const char* name : {"elsewhere/TARVEXv1", "elsewhere/TARVEXv1.ctf", "elsewhere/engine/x"})
      outer.write(name, "not ours");
    fs::create_directory(outer.path() / "data");
    const fs::path elsewhere = outer.path() / "elsewhere";
    fs::create_directory_symlink(elsewhere, outer.path() / "data/sub");
    fs::create_symlink(elsewhere / "TARVEXv1", outer.path() / "data/TARVEXv1");
    fs::create_symlink(elsewhere / "TARVEXv1.ctf", outer.path() / "data/TARVEXv1.ctf");
    fs::create_directory_symlink(elsewhere / "engine", outer.path() / "data/engine");
    ShellState state;
    state.ShellDirectory = elsewhere.string() + "/";
    state.TARVEXExeName = c.exe;
    state.TARVEXCtfName = c.ctf;
    state.TARVEXFolderName = c.folder;
    state.EngineFilesCopied = {c.exe, c.ctf};
    state.EngineFolderMadeByRun = true;
    CleanUpDir(desktop, state, outer.dir() + "data/");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(listing(elsewhere),
              (std::vector<std::string>{"TARVEXv1", "TARVEXv1.ctf", "engine", "engine/x"}));
    for (const char* entry : {"TARVEXv1", "TARVEXv1.ctf", "engine"}) {
      const bool removed = std::find(c.removed.begin(), c.removed.end(), entry) != c.removed.end();
      EXPECT_EQ(fs::is_symlink(outer.path() / "data" / entry), !removed) << entry;
    }
  }
}

}  // namespace
}  // namespace tarvex::testing
