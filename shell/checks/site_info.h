#pragma once

#include <string>

#include "checks/check_context.h"

namespace tarvex {

// The required heading of a column (counted from 0) of a table kind; kind 1 is the site
// information file. Empty for any other key.
std::string fnSiteInfoHeading(int kind, int column);

// What the site information check tells the driver.
struct SiteInfoOutcome {
  int errorFlag = 0;    // 0; 1 or 999 for errors found (999: the last was a missing
                        // station number); the error number when the check failed
  int warningFlag = 0;  // 0 or 1
};

// Checks the site information file against its layout, reports every problem (counted
// in ErrorCount and WarningCount, shown in the viewer), and loads the station list and
// the station-number format counts into the state.
SiteInfoOutcome ReadSiteInfo(CheckContext& context, const std::string& fileName);

}  // namespace tarvex
