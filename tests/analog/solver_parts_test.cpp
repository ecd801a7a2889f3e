// The numerical parts of the engine on their own: the sparse LU and the integrator.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "host/analog/integrator.h"
#include "host/analog/sparse_matrix.h"

namespace {

using host::analog::ComplexMatrix;
using host::analog::RealMatrix;

// [[4 1 0] [1 3 1] [0 1 2]], an entry written twice in the pattern, and a zero-valued entry.
const std::vector<std::pair<std::int32_t, std::int32_t>> pattern{
    {0, 0}, {0, 1}, {1, 0}, {1, 1}, {1, 2}, {2, 1}, {2, 2}, {1, 1}, {2, 0}};

template <class Matrix, class Scalar>
void fill(Matrix& m, Scalar scale) {
  m.clear();
  const auto set = [&](int row, int column, double v) {
    m.values()[m.slot(row, column)] = scale * v;
  };
  set(0, 0, 4.0);
  set(0, 1, 1.0);
  set(1, 0, 1.0);
  set(1, 1, 3.0);
  set(1, 2, 1.0);
  set(2, 1, 1.0);
  set(2, 2, 2.0);
}

TEST(SparseMatrix, SolvesRealAndComplexSystemsReusingItsPivots) {
  RealMatrix real(3, pattern);
  EXPECT_EQ(real.values().size(), 8u);
  EXPECT_EQ(real.slot(0, 2), -1);
  for (int round = 1; round <= 3; ++round) {
    fill(real, static_cast<double>(round));
    ASSERT_TRUE(real.factor());
    // x = (1, 2, 3) * round^-1: b = A x at scale 1.
    std::vector<double> b{6.0, 10.0, 8.0};
    real.solve(b);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(b[i] * round, i + 1.0, 1e-14);
  }
  EXPECT_LE(real.pivoting_factorisations(), 3);

  ComplexMatrix complex(3, pattern);
  const std::complex<double> scale(0.0, 2.0);
  fill(complex, scale);
  ASSERT_TRUE(complex.factor());
  std::vector<std::complex<double>> b{6.0, 10.0, 8.0};
  complex.solve(b);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(std::abs(b[i] * scale - (i + 1.0)), 0.0, 1e-14);
}

TEST(SparseMatrix, ReportsASingularMatrix) {
  RealMatrix m(3, pattern);
  fill(m, 1.0);
  ASSERT_TRUE(m.factor());
  for (int column = 0; column < 3; ++column) m.values()[m.slot(2, column)] = 0.0;
  m.values()[m.slot(1, 2)] = 0.0;
  EXPECT_FALSE(m.factor());
  // The solver may or may not name the column; when it does, it is the one left empty.
  EXPECT_TRUE(m.singular_column() == -1 || m.singular_column() == 2) << m.singular_column();
  fill(m, 1.0);
  EXPECT_TRUE(m.factor());
}

// BDF2's derivative is exact for a quadratic on uneven steps, backward Euler's for a line.
TEST(Integrator, DerivativesExactForTheirOrder) {
  host::analog::History history(1);
  const auto x = [](double t) { return std::vector<double>{t * t - 3.0 * t}; };
  history.restart(0.0, x(0.0));
  history.push(1.0, x(1.0));
  EXPECT_EQ(host::analog::step_order(history), 1);
  history.push(1.5, x(1.5));
  EXPECT_EQ(host::analog::step_order(history), 2);
  const double t = 2.25;
  const auto c = host::analog::coefficients(history, 2, t - 1.5);
  std::vector<double> past(1);
  host::analog::derivative_history(history, c, past);
  EXPECT_NEAR(c.alpha * x(t)[0] + past[0], 2.0 * t - 3.0, 1e-12);

  host::analog::History line(1);
  line.restart(2.0, std::vector<double>{5.0});
  const auto be = host::analog::coefficients(line, 1, 0.5);
  host::analog::derivative_history(line, be, past);
  EXPECT_NEAR(be.alpha * 6.0 + past[0], 2.0, 1e-12);
}

// On x = t^3 with unit steps BDF2's truncation error is 2/9 h^3 x''' = 4/3.
TEST(Integrator, TruncationErrorOfACubic) {
  host::analog::History history(1);
  for (double t : {0.0, 1.0, 2.0}) {
    if (t == 0.0) {
      history.restart(t, std::vector<double>{0.0});
    } else {
      history.push(t, std::vector<double>{t * t * t});
    }
  }
  const std::vector<std::int32_t> dynamic{0};
  host::analog::Tolerances tolerances{0.0, 1.0, 0.0};  // an absolute tolerance of 1
  const auto estimate = host::analog::truncation_error(history, 2, 3.0, std::vector<double>{27.0},
                                                       dynamic, tolerances, 1.0);
  ASSERT_TRUE(estimate.checked);
  EXPECT_NEAR(estimate.ratio, 4.0 / 3.0, 1e-12);
  EXPECT_EQ(estimate.worst, 0);
  EXPECT_NEAR(host::analog::step_factor(estimate, 2), 0.9 * std::pow(4.0 / 3.0, -1.0 / 3.0), 1e-12);
}

}  // namespace
