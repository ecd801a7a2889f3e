#include "host/cli/progress.h"

#include <algorithm>
#include <cstdio>

namespace host::cli {

void ProgressBar::update(const std::string& analysis, double fraction) {
  if (!enabled_) return;
  const Clock::time_point now = Clock::now();
  if (analysis != analysis_) {
    finish();
    analysis_ = analysis;
    started_ = now;
  }
  if (now - started_ < std::chrono::seconds(1)) return;
  if (drawn_ && now - last_draw_ < std::chrono::milliseconds(100)) return;
  last_draw_ = now;
  drawn_ = true;
  fraction = std::clamp(fraction, 0.0, 1.0);
  constexpr int width = 40;
  const int filled = static_cast<int>(fraction * width);
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.resize(width, '.');
  const double elapsed = std::chrono::duration<double>(now - started_).count();
  std::fprintf(stderr, "\r%-12s [%s] %5.1f%% %6.1f s", analysis_.c_str(), bar.c_str(),
               100.0 * fraction, elapsed);
  std::fflush(stderr);
}

void ProgressBar::finish() {
  if (drawn_) {
    std::fprintf(stderr, "\r%*s\r", 70, "");
    std::fflush(stderr);
  }
  drawn_ = false;
  analysis_.clear();
}

}  // namespace host::cli
