#pragma once

#include <string>

#include "checks/check_context.h"

namespace tarvex {

// The result of a rewrite that left out lines matching no station.
inline constexpr int kLinesLeftOut = -9999;

// What the rewrite of the site information file did.
struct SiteInfoRewrite {
  int result = 0;          // 0; kLinesLeftOut; else the error number
  std::string backupName;  // the dated copy made before the rewrite, once it exists
};

// Rewrites the site information file with the repaired station numbers, after a dated
// backup of it. Each data line is matched by its first field against the numbers as
// read; lines that match no station are left out and listed in the viewer.
SiteInfoRewrite FixSiteInfo(CheckContext& context, const std::string& fileName);

}  // namespace tarvex
