#include "least_squares.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tarvex::engine {
namespace {

Eigen::MatrixXd withConstant(const std::vector<std::vector<double>>& columns) {
  const auto n = static_cast<Eigen::Index>(columns.front().size());
  Eigen::MatrixXd design(n, static_cast<Eigen::Index>(columns.size() + 1));
  for (Eigen::Index i = 0; i < n; ++i) {
    design(i, 0) = 1.0;
    for (std::size_t c = 0; c < columns.size(); ++c)
      design(i, static_cast<Eigen::Index>(c + 1)) = columns[c][static_cast<std::size_t>(i)];
  }
  return design;
}

Eigen::VectorXd vec(const std::vector<double>& values) {
  return Eigen::Map<const Eigen::VectorXd>(values.data(), static_cast<Eigen::Index>(values.size()));
}

// x = 1..4, y = 2, 3, 5, 6. By hand: mean x 2.5, mean y 4, Sxx 5, Sxy 7, so b = 1.4 and
// a = 0.5; residuals 0.1, -0.3, 0.3, -0.1 give RSS 0.2 and s^2 = 0.2 / 2 = 0.1; the
// total sum of squares is 10. SE(b) = sqrt(s^2 / Sxx) = sqrt(0.02), SE(a) =
// sqrt(s^2 (1/n + mean^2 / Sxx)) = sqrt(0.15), R^2 = 0.98, SEE = sqrt(0.1).
TEST(LeastSquares, StraightLineWorkedByHand) {
  const LeastSquaresFit fit =
      fitOrdinaryLeastSquares(withConstant({{1, 2, 3, 4}}), vec({2, 3, 5, 6}));
  EXPECT_NEAR(fit.coefficients(0), 0.5, 1e-12);
  EXPECT_NEAR(fit.coefficients(1), 1.4, 1e-12);
  EXPECT_NEAR(fit.standardErrors(0), std::sqrt(0.15), 1e-12);
  EXPECT_NEAR(fit.standardErrors(1), std::sqrt(0.02), 1e-12);
  EXPECT_NEAR(fit.rSquared, 0.98, 1e-12);
  EXPECT_NEAR(fit.standardError, std::sqrt(0.1), 1e-12);
  EXPECT_EQ(fit.observations, 4);
}

// The pivoting reorders columns by size; each result must still land on its own column.
TEST(LeastSquares, ExactPlaneKeepsTheColumnOrder) {
  const std::vector<double> small = {0.1, 0.2, 0.4, 0.3, 0.5};
  const std::vector<double> large = {100, 300, 200, 500, 400};
  std::vector<double> y;
  for (std::size_t i = 0; i < small.size(); ++i) y.push_back(3 - 2 * small[i] + 0.01 * large[i]);
  const LeastSquaresFit fit = fitOrdinaryLeastSquares(withConstant({small, large}), vec(y));
  EXPECT_NEAR(fit.coefficients(0), 3, 1e-10);
  EXPECT_NEAR(fit.coefficients(1), -2, 1e-10);
  EXPECT_NEAR(fit.coefficients(2), 0.01, 1e-12);
  EXPECT_NEAR(fit.rSquared, 1, 1e-12);
  EXPECT_NEAR(fit.standardError, 0, 1e-10);
}

TEST(LeastSquares, UnusableDesigns) {
  struct Case {
    std::string name;
    Eigen::MatrixXd design;
    Eigen::VectorXd y;
    std::string message;
  };
  const double nan = std::nan("");
  const std::vector<Case> cases = {
      {"no stations", Eigen::MatrixXd(0, 2), Eigen::VectorXd(0), "no stations to fit"},
      {"as many stations as coefficients", withConstant({{1, 2}}), vec({1, 2}),
       "2 stations are too few for 2 coefficients"},
      {"a column twice another", withConstant({{1, 2, 3, 4}, {2, 4, 6, 8}}), vec({1, 3, 2, 5}),
       "the design is singular (its columns are linearly dependent)"},
      {"a column that repeats the constant", withConstant({{2, 2, 2, 2}}), vec({1, 3, 2, 5}),
       "the design is singular (its columns are linearly dependent)"},
      {"a value that is not a number", withConstant({{1, nan, 3, 4}}), vec({1, 3, 2, 5}),
       "a value is not a finite number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      fitOrdinaryLeastSquares(c.design, c.y);
      ADD_FAILURE() << "no FitError";
    } catch (const FitError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

}  // namespace
}  // namespace tarvex::engine
