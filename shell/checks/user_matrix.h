#pragma once

#include <optional>
#include <string>

#include "checks/check_context.h"
#include "platform/run_time_error.h"

namespace tarvex {

// What the check driver decides on after the weighting matrix.
struct UserMatrixOutcome {
  // 0 when the file passed (a diagonal warning does not count), -9999 when errors were
  // found, or the run-time error number that stopped the check or the writing.
  int Status = 0;
  // The driver's shared warning flag, which this check only resets: always 0.
  int warningFlag = 0;
};

inline constexpr int kProblemsFound = -9999;

// Checks the user's weighting matrix (`fileName` as chosen, opened in the data folder;
// `hasHeadings` when its first row and column hold station numbers) against the station
// list: its shape, then its headings, then every value and the diagonal. Reports problems
// in the viewer and records each as a finding. When no error was found, writes the matrix
// without headings as USERWLS.txt through MakeUSERWLStxt, first asking before a headed
// matrix is overwritten by its own copy, whatever the case of its name.
//
// A failure (a file that cannot be read; no station, so no matrix to size) ends the check
// with a "Sub SubReadUserWLS" box and nothing written; Status is then its number.
UserMatrixOutcome SubReadUserWLS(CheckContext& context, const std::string& fileName,
                                 bool hasHeadings);

// Writes the engine's copy of the matrix, made as the check read it (rows of
// tab-separated values, each ended by CR LF), as USERWLS.txt in the data folder (the file
// of that name in any case, when there is one), replaced whole. A failure shows the
// "Error: MakeUSERWLStxt:" box, leaves the old file as it was and is returned.
std::optional<RunTimeError> MakeUSERWLStxt(CheckContext& context, RewriteDraft& copy);

}  // namespace tarvex
