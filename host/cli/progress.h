// A progress bar on stderr for analyses that take longer than a second, drawn only when
// stderr is a terminal.
#pragma once

#include <chrono>
#include <string>

namespace host::cli {

class ProgressBar {
 public:
  // enabled: whether to draw at all (a terminal, and no --quiet).
  explicit ProgressBar(bool enabled) : enabled_(enabled) {}
  ~ProgressBar() { finish(); }

  void update(const std::string& analysis, double fraction);
  // Clears the bar, if one was drawn.
  void finish();

 private:
  using Clock = std::chrono::steady_clock;
  bool enabled_;
  bool drawn_ = false;
  std::string analysis_;
  Clock::time_point started_;
  Clock::time_point last_draw_;
};

}  // namespace host::cli
