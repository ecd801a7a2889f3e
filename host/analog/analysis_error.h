// Errors of the analog engine. Each message names the element, and for an analysis the time
// or frequency point where it stopped.
#pragma once

#include <stdexcept>

namespace host::analog {

// A circuit that cannot be built or elaborated.
class CircuitError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An analysis that stopped before its end.
class AnalysisError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace host::analog
