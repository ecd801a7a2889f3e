#include "host/event/vcd_writer.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "host/event/logic_value.h"

namespace host::event {

namespace {

struct Dump {
  std::int64_t time;
  std::size_t signal;
  char value;
};

// After time 0, the value of each time step that differs from the step before, per signal.
std::vector<Dump> dumps(const WaveformRecorder& waveforms) {
  std::vector<Dump> all;
  for (std::size_t s = 0; s < waveforms.signal_count(); ++s) {
    const auto signal = static_cast<std::int32_t>(s);
    const std::vector<Change>& changes = waveforms.changes(signal);
    std::int32_t dumped = waveforms.value_at(signal, 0);
    for (std::size_t i = 0; i < changes.size(); ++i) {
      const bool last_of_step = i + 1 == changes.size() || changes[i + 1].time != changes[i].time;
      if (changes[i].time == 0 || !last_of_step || changes[i].value == dumped) continue;
      all.push_back({changes[i].time, s, logic_char(changes[i].value)});
      dumped = changes[i].value;
    }
  }
  std::stable_sort(all.begin(), all.end(),
                   [](const Dump& a, const Dump& b) { return a.time < b.time; });
  return all;
}

std::int64_t scaled(std::int64_t ticks, std::int64_t multiplier) {
  if (ticks > std::numeric_limits<std::int64_t>::max() / multiplier) {
    throw std::overflow_error("time " + std::to_string(ticks) +
                              " ticks does not fit the VCD timescale");
  }
  return ticks * multiplier;
}

}  // namespace

VcdTimescale vcd_timescale(std::int64_t tick_fs) {
  static constexpr const char* units[] = {"fs", "ps", "ns", "us", "ms", "s"};
  std::size_t unit = 0;
  std::int64_t rest = tick_fs;
  while (unit + 1 < std::size(units) && rest % 1000 == 0) {
    rest /= 1000;
    ++unit;
  }
  if (rest == 1 || rest == 10 || rest == 100) {
    return {std::to_string(rest) + " " + units[unit], 1};
  }
  return {std::string("1 ") + units[unit], rest};
}

std::string vcd_identifier(std::size_t n) {
  constexpr std::size_t first = 33, count = 94;  // '!' to '~'
  std::string id;
  do {
    id += static_cast<char>(first + n % count);
    n /= count;
  } while (n-- > 0);
  return id;
}

void write_vcd(std::ostream& out, const WaveformRecorder& waveforms,
               const std::vector<std::string>& signal_names, std::int64_t tick_fs,
               std::int64_t end_time) {
  const VcdTimescale timescale = vcd_timescale(tick_fs);
  out << "$version zebsim $end\n$timescale " << timescale.unit << " $end\n"
      << "$scope module top $end\n";
  for (std::size_t s = 0; s < waveforms.signal_count(); ++s) {
    out << "$var wire 1 " << vcd_identifier(s) << ' ' << signal_names[s] << " $end\n";
  }
  out << "$upscope $end\n$enddefinitions $end\n#0\n$dumpvars\n";

  // Time 0 shows the values at the end of its delta cycles.
  for (std::size_t s = 0; s < waveforms.signal_count(); ++s) {
    out << logic_char(waveforms.value_at(static_cast<std::int32_t>(s), 0)) << vcd_identifier(s)
        << '\n';
  }
  out << "$end\n";

  std::int64_t last = 0;
  for (const Dump& dump : dumps(waveforms)) {
    if (dump.time != last) {
      last = dump.time;
      out << '#' << scaled(last, timescale.multiplier) << '\n';
    }
    out << dump.value << vcd_identifier(dump.signal) << '\n';
  }
  if (end_time > last) out << '#' << scaled(end_time, timescale.multiplier) << '\n';
}

}  // namespace host::event
