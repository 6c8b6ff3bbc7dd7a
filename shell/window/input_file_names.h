#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "state/shell_state.h"

namespace tarvex {

// One of the files that follow the site information file, in the order Step 1
// handles them.
struct InputFile {
  const char* standardName;
  const char* stem;
  std::string ShellState::*variable;
  const char* status;
  const char* dialogTitle;
  const char* failureTitle;
  const char* failureText;
};

inline constexpr std::size_t kStationFileCount = 4;  // then the weighting matrix
extern const std::array<InputFile, kStationFileCount + 1> kInputFiles;

// How the other names follow from the site information file's name.
struct NameDerivation {
  enum Kind { None, Prefix, Suffix };
  Kind kind = None;
  std::string pattern;
  bool askAll = true;

  std::string nameFor(const InputFile& file) const;
};

// The derivation the two name options give for a site information file name. Only
// the name's length counts; with the suffix option a name shorter than
// "SiteInfo.txt" is a run-time error.
NameDerivation deriveNames(bool samePrefix, bool sameSuffix, const std::string& siteInfoName);

}  // namespace tarvex
