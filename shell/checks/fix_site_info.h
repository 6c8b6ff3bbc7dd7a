#pragma once

#include <string>

#include "checks/check_context.h"

namespace tarvex {

// What the rewrite of the site information file did.
struct SiteInfoRewrite {
  int result = 0;          // 0; -9999 when lines were left out; else the error number
  std::string backupName;  // the dated copy made before the rewrite, once it exists
};

// "SiteInfo.txt" on 7 March 2011 -> "SiteInfo.txt-BadFile-3-7-2011.txt".
std::string backupNameFor(const std::string& fileName, const CalendarDate& date);

// Rewrites the site information file with the repaired station numbers, after a dated
// backup of it. Each data line is matched by its first field against the numbers as
// read; lines that match no station are left out and listed in the viewer.
SiteInfoRewrite FixSiteInfo(CheckContext& context, const std::string& fileName);

}  // namespace tarvex
