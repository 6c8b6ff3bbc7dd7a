#pragma once

#include <optional>
#include <string>
#include <vector>

#include "checks/check_context.h"
#include "platform/run_time_error.h"

namespace tarvex {

// A square matrix of doubles, rows and columns counted from 1.
class UserMatrix {
 public:
  explicit UserMatrix(long n);
  long size() const { return n_; }
  double& operator()(long row, long column) { return cells_[index(row, column)]; }
  double operator()(long row, long column) const { return cells_[index(row, column)]; }

 private:
  std::size_t index(long row, long column) const {
    return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(n_) +
           static_cast<std::size_t>(column - 1);
  }
  long n_;
  std::vector<double> cells_;
};

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

// The engine's copy of the matrix: rows of tab-separated values, each ended by CR LF, and
// one more CR LF at the end.
std::string userMatrixText(const UserMatrix& matrix);

// Writes userMatrixText as USERWLS.txt in the data folder (the file of that name in any
// case, when there is one), replaced whole. A failure shows the "Error: MakeUSERWLStxt:"
// box, leaves the old file as it was and is returned.
std::optional<RunTimeError> MakeUSERWLStxt(CheckContext& context, const UserMatrix& matrix);

}  // namespace tarvex
