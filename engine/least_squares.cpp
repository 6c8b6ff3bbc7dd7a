#include "least_squares.h"

#include <cmath>
#include <limits>

namespace tarvex::engine {

LeastSquaresFit fitOrdinaryLeastSquares(const Eigen::MatrixXd& design, const Eigen::VectorXd& y) {
  const Eigen::Index n = design.rows();
  const Eigen::Index p = design.cols();
  if (n == 0) throw FitError("no stations to fit");
  if (y.size() != n) throw FitError("the design and the response differ in length");
  if (n <= p)
    throw FitError(std::to_string(n) + " stations are too few for " + std::to_string(p) +
                   " coefficients");
  if (!design.allFinite() || !y.allFinite()) throw FitError("a value is not a finite number");

  // Column pivoting finds the rank; a dependent column makes the design singular.
  const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(design);
  if (qr.rank() < p) throw FitError("the design is singular (its columns are linearly dependent)");

  LeastSquaresFit fit;
  fit.observations = static_cast<long>(n);
  fit.coefficients = qr.solve(y);
  const Eigen::VectorXd residuals = y - design * fit.coefficients;
  const double rss = residuals.squaredNorm();
  const double variance = rss / static_cast<double>(n - p);
  fit.standardError = std::sqrt(variance);
  const double tss = (y.array() - y.mean()).matrix().squaredNorm();
  fit.rSquared = tss > 0 ? 1.0 - rss / tss : std::numeric_limits<double>::quiet_NaN();

  // X P = Q R, so (X'X)^-1 = P R^-1 R^-T P'; its diagonal scales the variance.
  const Eigen::MatrixXd r = qr.matrixR().topLeftCorner(p, p).triangularView<Eigen::Upper>();
  const Eigen::MatrixXd rInverse =
      r.triangularView<Eigen::Upper>().solve(Eigen::MatrixXd::Identity(p, p));
  const Eigen::VectorXd permutedDiagonal = rInverse.rowwise().squaredNorm();
  fit.standardErrors.resize(p);
  const auto& permutation = qr.colsPermutation().indices();
  for (Eigen::Index k = 0; k < p; ++k)
    fit.standardErrors(permutation(k)) = std::sqrt(variance * permutedDiagonal(k));
  return fit;
}

}  // namespace tarvex::engine
