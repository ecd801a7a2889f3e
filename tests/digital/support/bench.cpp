#include "tests/digital/support/bench.h"

#include <map>
#include <sstream>
#include <stdexcept>

#include "host/generics.h"

namespace test {

namespace {

using host::event::SignalId;

// Each cell's process in VHDL: {N} is the signal on port N, {D} its delay.
const std::map<std::string, std::string>& vhdl_models() {
  static const std::map<std::string, std::string> models{
      {"LEVEL_0-ZEB_DL_NAND3", "{3} <= not (({0} and {1}) and {2});"},
      {"LEVEL_0-ZEB_DL_INVX3", "{1} <= not {0};"},
      {"LEVEL_0-ZEB_DL_INVX2", "{1} <= not {0};"},
      {"LEVEL_0-ZEB_DL_NOR2I1", "{2} <= not ((not {0}) or {1});"},
      {"LEVEL_0-ZEB_DL_AOI21", "{3} <= not (({0} and {1}) or {2});"},
      {"LEVEL_0-ZEB_DL_XOR2", "{2} <= {0} xor {1};"},
      {"LEVEL_0-ZEB_DL_XNOR2", "{2} <= not ({0} xor {1});"},
      {"LEVEL_0-ZEB_DL_DBUFX1", "{1} <= {0};\n  {2} <= not {0};"},
      {"LEVEL_0-ZEB_DL_DFFR",
       "process ({1}, {2}) begin\n"
       "    if {2} = '0' then {3} <= '0';\n"
       "    elsif {1} = '1' and {1}'event then {3} <= {0};\n"
       "    end if;\n"
       "  end process;"},
      {"LEVEL_2-ZEB_DL_AOI21", "{3} <= not (({0} and {1}) or {2}) after {D};"},
      {"LEVEL_2-ZEB_DL_XNOR2", "{2} <= not ({0} xor {1}) after {D};"},
      {"LEVEL_2-ZEB_DL_BUFX2", "{1} <= {0} after {D};"},
      {"LEVEL_2-ZEB_DL_OR2", "{2} <= {0} or {1} after {D};"},
  };
  return models;
}

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string fs(std::int64_t ticks, const Bench& bench) {
  return std::to_string(ticks * bench.tick_fs) + " fs";
}

bool corner_delayed(const std::string& deliverable) {
  return deliverable.starts_with("LEVEL_2-");
}

}  // namespace

std::string run_in_kernel(host::event::LogicSimulation& sim, const Bench& bench) {
  sim.set_tick_length(bench.tick_fs);
  for (const std::string& name : bench.signals) sim.add_signal(name);
  for (const BenchCell& cell : bench.cells) {
    std::vector<SignalId> ports;
    for (const std::string& name : cell.signals) ports.push_back(sim.signal(name));
    host::Instance& instance = sim.add_cell(cell.instance, cell.deliverable, ports);
    if (corner_delayed(cell.deliverable)) {
      // 1 ns at a tick of 1000 fs is 1000 ticks; the factor scales it exactly.
      const double factor = static_cast<double>(cell.delay) / 1000.0;
      if (bench.tick_fs != 1000 || factor * 1000.0 != static_cast<double>(cell.delay)) {
        throw std::invalid_argument(cell.instance + ": a delay the bench cannot set exactly");
      }
      host::set_generic(instance, "DELAY", 1e-9);
      host::set_generic_table(instance, "DELAY_FACTORS", {factor, factor, factor});
    }
  }
  for (const auto& [name, value] : bench.constants) sim.drive_constant(sim.signal(name), value);
  for (const auto& [name, clock] : bench.clocks) sim.drive_clock(sim.signal(name), clock);
  for (const auto& [name, values] : bench.timed) sim.drive_timed(sim.signal(name), values);
  sim.record_waveforms();
  sim.run_until(bench.stop);
  std::ostringstream vcd;
  sim.write_vcd(vcd);
  return vcd.str();
}

std::string to_vhdl(const Bench& bench) {
  std::ostringstream v;
  v << "library ieee;\nuse ieee.std_logic_1164.all;\n\nentity bench is\nend;\n\n"
    << "architecture sim of bench is\n";
  for (const std::string& name : bench.signals) {
    v << "  signal " << name << " : std_ulogic";
    for (const auto& [constant, value] : bench.constants) {
      if (constant == name) v << " := '" << value << "'";
    }
    for (const auto& [clock, ignored] : bench.clocks) {
      if (clock == name) v << " := '0'";
    }
    v << ";\n";
  }
  v << "begin\n";
  for (const BenchCell& cell : bench.cells) {
    std::string model = vhdl_models().at(cell.deliverable);
    for (std::size_t p = 0; p < cell.signals.size(); ++p) {
      model = replace_all(model, "{" + std::to_string(p) + "}", cell.signals[p]);
    }
    v << "  " << replace_all(model, "{D}", fs(cell.delay, bench)) << "\n";
  }
  for (const auto& [name, clock] : bench.clocks) {
    v << "  process begin\n";
    if (clock.first_rise > 0) v << "    wait for " << fs(clock.first_rise, bench) << ";\n";
    v << "    loop\n      " << name << " <= '1'; wait for " << fs(clock.high_time, bench) << ";\n"
      << "      " << name << " <= '0'; wait for " << fs(clock.period - clock.high_time, bench)
      << ";\n    end loop;\n  end process;\n";
  }
  for (const auto& [name, values] : bench.timed) {
    v << "  process begin\n";
    std::int64_t previous = 0;
    for (const auto& [time, value] : values) {
      if (time > previous) v << "    wait for " << fs(time - previous, bench) << ";\n";
      v << "    " << name << " <= '" << value << "';\n";
      previous = time;
    }
    v << "    wait;\n  end process;\n";
  }
  v << "end;\n";
  return v.str();
}

}  // namespace test
