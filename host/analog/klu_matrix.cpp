// SparseMatrix factored by KLU: one symbolic analysis per pattern; each factorisation first
// refactors with the previous pivots (no allocation) and chooses pivots anew only when that
// fails or leaves the matrix badly conditioned.
#include <klu.h>

#include <type_traits>

#include "host/analog/sparse_matrix.h"

namespace host::analog {

namespace {

// Below this reciprocal pivot ratio a refactorisation is redone with fresh pivots.
constexpr double refactor_rcond_limit = 1e-12;

template <class Scalar>
constexpr bool is_complex = !std::is_same_v<Scalar, double>;

template <class Scalar>
double* raw(Scalar* values) {
  return reinterpret_cast<double*>(values);
}

}  // namespace

template <class Scalar>
struct SparseMatrix<Scalar>::Solver {
  klu_common common{};
  klu_symbolic* symbolic = nullptr;
  klu_numeric* numeric = nullptr;

  ~Solver() {
    release_numeric();
    klu_free_symbolic(&symbolic, &common);
  }

  void release_numeric() {
    if (numeric == nullptr) return;
    if constexpr (is_complex<Scalar>) {
      klu_z_free_numeric(&numeric, &common);
    } else {
      klu_free_numeric(&numeric, &common);
    }
  }
};

template <class Scalar>
SparseMatrix<Scalar>::SparseMatrix(std::int32_t size, std::span<const Entry> pattern)
    : size_(size), pattern_(compress(size, pattern)), solver_(std::make_unique<Solver>()) {
  values_.assign(pattern_.rows.size(), Scalar{});
  klu_defaults(&solver_->common);
  solver_->symbolic =
      klu_analyze(size_, pattern_.column_starts.data(), pattern_.rows.data(), &solver_->common);
}

template <class Scalar>
SparseMatrix<Scalar>::~SparseMatrix() = default;

template <class Scalar>
bool SparseMatrix<Scalar>::factor() {
  Solver& s = *solver_;
  singular_column_ = -1;
  if (s.symbolic == nullptr) return false;
  int* starts = pattern_.column_starts.data();
  int* rows = pattern_.rows.data();
  double* values = raw(values_.data());

  if (s.numeric != nullptr) {
    int refactored = 0;
    double rcond = 0.0;
    if constexpr (is_complex<Scalar>) {
      refactored = klu_z_refactor(starts, rows, values, s.symbolic, s.numeric, &s.common);
      if (refactored != 0) klu_z_rcond(s.symbolic, s.numeric, &s.common);
    } else {
      refactored = klu_refactor(starts, rows, values, s.symbolic, s.numeric, &s.common);
      if (refactored != 0) klu_rcond(s.symbolic, s.numeric, &s.common);
    }
    rcond = s.common.rcond;
    if (refactored != 0 && s.common.status == KLU_OK && rcond > refactor_rcond_limit) return true;
    s.release_numeric();
  }

  ++pivoting_factorisations_;
  if constexpr (is_complex<Scalar>) {
    s.numeric = klu_z_factor(starts, rows, values, s.symbolic, &s.common);
  } else {
    s.numeric = klu_factor(starts, rows, values, s.symbolic, &s.common);
  }
  if (s.numeric != nullptr && s.common.status == KLU_OK) return true;
  if (s.common.status == KLU_SINGULAR && s.common.singular_col >= 0 &&
      s.common.singular_col < size_) {
    singular_column_ = s.common.singular_col;
  }
  s.release_numeric();
  return false;
}

template <class Scalar>
void SparseMatrix<Scalar>::solve(std::span<Scalar> rhs) {
  Solver& s = *solver_;
  if constexpr (is_complex<Scalar>) {
    klu_z_solve(s.symbolic, s.numeric, size_, 1, raw(rhs.data()), &s.common);
  } else {
    klu_solve(s.symbolic, s.numeric, size_, 1, rhs.data(), &s.common);
  }
}

template class SparseMatrix<double>;
template class SparseMatrix<std::complex<double>>;

}  // namespace host::analog
