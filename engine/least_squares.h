#pragma once

#include <Eigen/Dense>
#include <stdexcept>
#include <string>

namespace tarvex::engine {

// A fit that cannot be made: no observations, too few of them, or a singular design.
class FitError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An ordinary least-squares fit of y on the columns of a design matrix.
struct LeastSquaresFit {
  Eigen::VectorXd coefficients;    // one per design column
  Eigen::VectorXd standardErrors;  // of the coefficients
  double rSquared = 0;             // NaN when every y is the same
  double standardError = 0;        // of estimate: root of the residual mean square
  long observations = 0;
};

// Fits y = X b by least squares. The design must have full column rank and more rows
// than columns, so that the residual variance, and with it every standard error, is
// defined; a FitError says which condition failed.
LeastSquaresFit fitOrdinaryLeastSquares(const Eigen::MatrixXd& design, const Eigen::VectorXd& y);

}  // namespace tarvex::engine
