// SparseMatrix factored by Eigen's SparseLU, for the 32-bit build: the column ordering and
// symbolic analysis are done once; each factorisation is numeric.
#include <Eigen/OrderingMethods>
#include <Eigen/SparseCore>
#include <Eigen/SparseLU>

#include "host/analog/sparse_matrix.h"

namespace host::analog {

template <class Scalar>
struct SparseMatrix<Scalar>::Solver {
  using Matrix = Eigen::SparseMatrix<Scalar, Eigen::ColMajor, int>;
  Matrix matrix;
  Eigen::SparseLU<Matrix, Eigen::COLAMDOrdering<int>> lu;
  bool analysed = false;
};

template <class Scalar>
SparseMatrix<Scalar>::SparseMatrix(std::int32_t size, std::span<const Entry> pattern)
    : size_(size), pattern_(compress(size, pattern)), solver_(std::make_unique<Solver>()) {
  values_.assign(pattern_.rows.size(), Scalar{});
  std::vector<Eigen::Triplet<Scalar, int>> triplets;
  triplets.reserve(pattern_.rows.size());
  for (std::int32_t c = 0; c < size_; ++c) {
    for (std::int32_t k = pattern_.column_starts[c]; k < pattern_.column_starts[c + 1]; ++k) {
      triplets.emplace_back(pattern_.rows[static_cast<std::size_t>(k)], c, Scalar{1});
    }
  }
  solver_->matrix.resize(size_, size_);
  solver_->matrix.setFromTriplets(triplets.begin(), triplets.end());
  solver_->matrix.makeCompressed();
}

template <class Scalar>
SparseMatrix<Scalar>::~SparseMatrix() = default;

template <class Scalar>
bool SparseMatrix<Scalar>::factor() {
  Solver& s = *solver_;
  singular_column_ = -1;
  // Same compressed-column order as ours, so the values copy across one to one.
  std::copy(values_.begin(), values_.end(), s.matrix.valuePtr());
  if (!s.analysed) {
    s.lu.analyzePattern(s.matrix);
    s.analysed = true;
  }
  ++pivoting_factorisations_;
  s.lu.factorize(s.matrix);
  return s.lu.info() == Eigen::Success;
}

template <class Scalar>
void SparseMatrix<Scalar>::solve(std::span<Scalar> rhs) {
  Eigen::Map<Eigen::Matrix<Scalar, Eigen::Dynamic, 1>> b(rhs.data(), size_);
  b = solver_->lu.solve(b).eval();
}

template class SparseMatrix<double>;
template class SparseMatrix<std::complex<double>>;

}  // namespace host::analog
