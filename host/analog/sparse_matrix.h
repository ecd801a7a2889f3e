// A square sparse matrix with a fixed pattern, factored and solved by a direct sparse LU.
//
// The pattern is given once; the ordering and symbolic analysis are done once for it, and every
// later factorisation reuses them. The values live in one array in compressed-column order;
// callers find an entry's place with slot() once and write through values() afterwards.
// The 64-bit build factors with KLU, the 32-bit build with Eigen's SparseLU.
#pragma once

#include <algorithm>
#include <complex>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace host::analog {

// A pattern in compressed-column form: the rows of column c are
// rows[column_starts[c]] .. rows[column_starts[c + 1] - 1], increasing.
struct CompressedPattern {
  std::vector<std::int32_t> column_starts;
  std::vector<std::int32_t> rows;
};

// Sorts (row, column) entries into compressed-column form, dropping duplicates.
CompressedPattern compress(std::int32_t size,
                           std::span<const std::pair<std::int32_t, std::int32_t>> pattern);

template <class Scalar>
class SparseMatrix {
 public:
  using Entry = std::pair<std::int32_t, std::int32_t>;  // (row, column)

  // Every (row, column) that may hold a value; duplicates collapse. Size must be > 0.
  SparseMatrix(std::int32_t size, std::span<const Entry> pattern);
  ~SparseMatrix();
  SparseMatrix(const SparseMatrix&) = delete;
  SparseMatrix& operator=(const SparseMatrix&) = delete;

  std::int32_t size() const { return size_; }
  // Place of (row, column) in values(), or -1 when the pattern lacks it.
  std::int32_t slot(std::int32_t row, std::int32_t column) const {
    if (row < 0 || column < 0 || row >= size_ || column >= size_) return -1;
    const auto first = pattern_.rows.begin() + pattern_.column_starts[column];
    const auto last = pattern_.rows.begin() + pattern_.column_starts[column + 1];
    const auto found = std::lower_bound(first, last, row);
    return found != last && *found == row ? static_cast<std::int32_t>(found - pattern_.rows.begin())
                                          : -1;
  }
  std::span<Scalar> values() { return values_; }
  std::span<const Scalar> values() const { return values_; }
  void clear() { std::fill(values_.begin(), values_.end(), Scalar{}); }

  // Factors the current values; false when the matrix is singular.
  bool factor();
  // After a failed factor: the column found singular, or -1 when the solver does not say.
  std::int32_t singular_column() const { return singular_column_; }
  // Solves A x = b in place after a successful factor.
  void solve(std::span<Scalar> rhs);
  // Factorisations that chose their pivots anew (the others reused the previous pivots).
  std::int32_t pivoting_factorisations() const { return pivoting_factorisations_; }

  const CompressedPattern& pattern() const { return pattern_; }

 private:
  struct Solver;

  std::int32_t size_;
  CompressedPattern pattern_;
  std::vector<Scalar> values_;
  std::int32_t singular_column_ = -1;
  std::int32_t pivoting_factorisations_ = 0;
  std::unique_ptr<Solver> solver_;
};

using RealMatrix = SparseMatrix<double>;
using ComplexMatrix = SparseMatrix<std::complex<double>>;

}  // namespace host::analog
