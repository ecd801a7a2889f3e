#include "host/netlist/simulation.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <optional>
#include <ostream>

#include "host/analog/analysis_error.h"
#include "host/analog/operating_point.h"
#include "host/analog/system.h"
#include "host/analog/transient.h"
#include "host/design.h"
#include "host/event/logic_simulation.h"
#include "host/generics.h"
#include "host/kernel.h"
#include "host/loader.h"

namespace host::netlist {

namespace {

using Clock = std::chrono::steady_clock;

// An analysis's unknowns to save: the column and where it lies among the unknowns
// (-1: the reference node, always 0).
struct Probe {
  Column column;
  std::int32_t unknown;
};

// One design built from the netlist, in the kernel's one slot.
class Build {
 public:
  Build(const Netlist& netlist, Loader& loader)
      : netlist_(netlist), design_(loader), circuit_(design_), logic_(design_) {
    const double fs = std::round(netlist.tick * 1e15);
    if (netlist.has_logic_cells()) {
      logic_.set_tick_length(static_cast<std::int64_t>(fs));
      logic_.set_temperature(netlist.temperature);
    }
    for (const SourceLine& source : netlist.sources) add_source(source);
    for (const UnitLine& unit : netlist.units) {
      if (unit.entry->kind == UnitKind::digital) {
        add_cell(unit);
      } else {
        add_unit(unit);
      }
    }
    for (const StimulusLine& stimulus : netlist.stimuli) add_stimulus(stimulus);
  }

  analog::Circuit& circuit() { return circuit_; }
  event::LogicSimulation& logic() { return logic_; }
  Design& design() { return design_; }
  bool analog() const { return !netlist_.sources.empty() || netlist_.has_analog_units(); }
  bool digital() const { return netlist_.has_logic_cells(); }
  std::int64_t ticks(double seconds) const { return std::llround(seconds / netlist_.tick); }
  const std::map<std::string, event::SignalId>& signals() const { return signals_; }

 private:
  // The message of a failure with the instance named once.
  static std::string naming(const std::string& name, const std::string& what) {
    return what.find(name) != std::string::npos ? what : name + ": " + what;
  }

  void add_source(const SourceLine& source) {
    try {
      if (source.kind == analog::SourceKind::voltage) {
        circuit_.voltage_source(source.name, source.plus, source.minus, source.waveform);
      } else {
        circuit_.current_source(source.name, source.plus, source.minus, source.waveform);
      }
    } catch (const std::exception& error) {
      throw NetlistError(source.where, naming(source.name, error.what()));
    }
  }

  void add_unit(const UnitLine& unit) {
    std::vector<analog::GenericValue> generics;
    for (const GenericSetting& setting : unit.generics) {
      const std::string name(setting.generic->name);
      switch (setting.generic->type) {
        case GenericType::real:
          generics.emplace_back(name, setting.values[0]);
          break;
        case GenericType::integer:
          generics.emplace_back(name, static_cast<std::int64_t>(setting.values[0]));
          break;
        case GenericType::corner_table:
          generics.emplace_back(name, setting.values);
          break;
      }
    }
    try {
      circuit_.unit(unit.name, unit.entry->name, unit.nodes, generics);
      circuit_.elaborate();
    } catch (const LoadError& error) {
      throw NetlistError(unit.where, unit.name + ": " + error.what());
    } catch (const std::exception& error) {
      throw NetlistError(unit.where, naming(unit.name, error.what()));
    }
  }

  event::SignalId signal(const std::string& name) {
    const auto found = signals_.find(name);
    if (found != signals_.end()) return found->second;
    const event::SignalId id = logic_.add_signal(name);
    signals_.emplace(name, id);
    return id;
  }

  void add_cell(const UnitLine& unit) {
    try {
      std::vector<event::SignalId> ports;
      for (const std::string& node : unit.nodes) ports.push_back(signal(node));
      Instance& instance = logic_.add_cell(unit.name, unit.entry->name, ports);
      for (const GenericSetting& setting : unit.generics) {
        if (setting.generic->type == GenericType::corner_table) {
          set_generic_table(instance, setting.generic->name,
                            {setting.values[0], setting.values[1], setting.values[2]});
        } else {
          set_generic(instance, setting.generic->name, setting.values[0]);
        }
      }
    } catch (const LoadError& error) {
      throw NetlistError(unit.where, unit.name + ": " + error.what());
    } catch (const std::exception& error) {
      throw NetlistError(unit.where, naming(unit.name, error.what()));
    }
  }

  void add_stimulus(const StimulusLine& stimulus) {
    try {
      const event::SignalId id = signals_.at(stimulus.signal);
      switch (stimulus.kind) {
        case StimulusLine::Kind::constant:
          logic_.drive_constant(id, stimulus.value);
          break;
        case StimulusLine::Kind::clock:
          logic_.drive_clock(
              id, {ticks(stimulus.period), ticks(stimulus.high_time), ticks(stimulus.delay)});
          break;
        case StimulusLine::Kind::timed: {
          std::vector<std::pair<std::int64_t, char>> values;
          for (const auto& [time, value] : stimulus.timed) values.emplace_back(ticks(time), value);
          logic_.drive_timed(id, values);
          break;
        }
      }
    } catch (const std::exception& error) {
      throw NetlistError(stimulus.where, ".stim " + stimulus.signal + ": " + error.what());
    }
  }

  const Netlist& netlist_;
  Design design_;
  analog::Circuit circuit_;
  event::LogicSimulation logic_;
  std::map<std::string, event::SignalId> signals_;
};

std::vector<Probe> analog_probes(const Netlist& netlist, analog::Circuit& circuit) {
  analog::System& system = circuit.system();
  std::vector<Probe> probes;
  const auto voltage = [&](const std::string& node) {
    probes.push_back({{"v(" + node + ")", "V"}, node == "0" ? -1 : system.node_unknown(node)});
  };
  const auto current = [&](const std::string& source) {
    probes.push_back({{"i(" + source + ")", "A"}, system.branch_unknown(source)});
  };
  if (netlist.saves.empty()) {
    for (std::int32_t n = 1; n <= circuit.node_count(); ++n) voltage(circuit.node_name(n));
    for (const analog::Source& source : circuit.sources()) {
      if (source.kind == analog::SourceKind::voltage) current(source.name);
    }
  }
  for (const SaveItem& item : netlist.saves) {
    if (item.kind == SaveItem::Kind::voltage) voltage(item.name);
    if (item.kind == SaveItem::Kind::current) current(item.name);
  }
  return probes;
}

std::vector<std::string> digital_probes(const Netlist& netlist, const Build& build) {
  std::vector<std::string> names;
  if (netlist.saves.empty()) {
    for (const auto& [name, id] : build.signals()) names.push_back(name);
  }
  for (const SaveItem& item : netlist.saves) {
    if (item.kind == SaveItem::Kind::digital) names.push_back(item.name);
  }
  return names;
}

template <class Value>
void add_row(ResultTable& table, std::vector<std::vector<Value>>& columns,
             const std::vector<Probe>& probes, double scale, std::span<const Value> x) {
  table.scale_values.push_back(scale);
  for (std::size_t c = 0; c < probes.size(); ++c) {
    const std::int32_t u = probes[c].unknown;
    columns[c].push_back(u < 0 ? Value{} : x[static_cast<std::size_t>(u)]);
  }
}

class Runner {
 public:
  Runner(const Netlist& netlist, const RunSettings& settings, const ResultSink& sink)
      : netlist_(netlist),
        settings_(settings),
        sink_(sink),
        loader_(netlist.plugins ? *netlist.plugins : settings.plugin_dir) {}

  void run() {
    const std::int32_t runs = std::max(netlist_.mc_runs, 1);
    for (const std::int32_t corner : netlist_.corners) {
      for (std::int32_t run = 1; run <= runs; ++run) {
        std::map<Analysis::Kind, int> seen;
        for (const Analysis& analysis : netlist_.analyses) {
          std::string name = stem(analysis.kind, ++seen[analysis.kind]);
          if (netlist_.corners.size() > 1) name += ".corner" + std::to_string(corner);
          if (netlist_.mc_runs > 0) name += ".mc" + std::to_string(run);
          run_one(analysis, name, corner, run);
        }
      }
    }
  }

 private:
  static std::string stem(Analysis::Kind kind, int count) {
    static const std::map<Analysis::Kind, std::string> names{{Analysis::Kind::op, "op"},
                                                             {Analysis::Kind::dc, "dc"},
                                                             {Analysis::Kind::tran, "tran"},
                                                             {Analysis::Kind::ac, "ac"}};
    return names.at(kind) + (count > 1 ? std::to_string(count) : "");
  }

  void check_stop() const {
    if (settings_.stop != nullptr && settings_.stop->load()) throw Interrupted();
  }

  void progress(const std::string& name, double fraction) const {
    check_stop();
    if (settings_.progress) settings_.progress(name, fraction);
  }

  void prepare_kernel(std::int32_t corner, std::int32_t run) {
    Kernel& k = kernel();
    k.reset();
    k.settings.corner = corner;
    k.settings.temperature = netlist_.temperature;
    k.settings.tick_fs = static_cast<std::int64_t>(std::round(netlist_.tick * 1e15));
    k.settings.spread = netlist_.mc_runs > 0;
    k.settings.spread_random.seed(netlist_.mc_seed + static_cast<std::uint64_t>(run) - 1);
    k.trace.clear();
    k.trace.enable(!settings_.trace.empty());
    if (!settings_.trace.empty()) {
      k.trace.select([this] { return traced(); },
                     [this](const std::string& call) {
                       if (settings_.trace_out != nullptr)
                         *settings_.trace_out << "trace: " << call << '\n';
                     });
    } else {
      k.trace.select(nullptr, nullptr);
    }
  }

  // Whether the call being made comes from a traced instance: the one whose process runs, or
  // the current object of elaboration and analog evaluation.
  bool traced() const {
    const Kernel& k = kernel();
    if (const std::string* running = k.events.running_instance()) {
      return settings_.trace.count(*running) != 0;
    }
    if (k.current_object < 0 || static_cast<std::size_t>(k.current_object) >= k.objects.size()) {
      return false;
    }
    return settings_.trace.count(
               k.names.of(k.objects[static_cast<std::size_t>(k.current_object)])) != 0;
  }

  void run_one(const Analysis& analysis, const std::string& name, std::int32_t corner,
               std::int32_t run) {
    prepare_kernel(corner, run);
    std::optional<Build> build;
    build.emplace(netlist_, loader_);

    ResultTable table;
    table.name = name;
    const auto started = Clock::now();
    std::string failure;
    try {
      switch (analysis.kind) {
        case Analysis::Kind::op:
          operating_point(*build, table);
          break;
        case Analysis::Kind::dc:
          dc(*build, analysis, table);
          break;
        case Analysis::Kind::tran:
          tran(*build, analysis, table);
          break;
        case Analysis::Kind::ac:
          ac(*build, analysis, table);
          break;
      }
    } catch (const Interrupted&) {
      throw;
    } catch (const std::exception& error) {
      failure = error.what();
    }
    table.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    if (!failure.empty()) {
      table.complete = false;
      table.failure = failure;
    }
    if (build->digital()) {
      if (const event::WaveformRecorder* recorded = kernel().events.waveforms()) {
        std::int64_t events = 0;
        for (std::size_t s = 0; s < recorded->signal_count(); ++s) {
          events +=
              static_cast<std::int64_t>(recorded->changes(static_cast<std::int32_t>(s)).size());
        }
        table.events = events;
        event::LogicSimulation& logic = build->logic();
        table.write_vcd = [&logic](std::ostream& out) { logic.write_vcd(out); };
      }
    }
    sink_(table);
    if (!failure.empty()) {
      throw AnalysisFailed(name + ": " + failure);
    }
  }

  analog::DcOptions dc_options() const {
    analog::DcOptions options;
    options.newton.tolerances = netlist_.tolerances;
    return options;
  }

  void real_columns(ResultTable& table, const std::vector<Probe>& probes) {
    for (const Probe& probe : probes) table.columns.push_back(probe.column);
    table.real.assign(probes.size(), {});
  }

  // Samples the saved digital signals at the table's scale (seconds).
  void digital_columns(Build& build, ResultTable& table) {
    for (const std::string& name : digital_probes(netlist_, build)) {
      const event::SignalId id = build.signals().at(name);
      table.digital.push_back({"d(" + name + ")", ""});
      std::string values;
      for (double t : table.scale_values) {
        values += build.logic().value_at(id, std::min(build.ticks(t), build.logic().now()));
      }
      table.digital_values.push_back(std::move(values));
    }
  }

  // Runs the event kernel to `end` ticks in slices, so that an interrupt is seen.
  void run_logic(Build& build, std::int64_t end, const std::string& name) {
    event::LogicSimulation& logic = build.logic();
    logic.record_waveforms();
    logic.run_until(0);
    constexpr int slices = 200;
    for (int s = 1; s <= slices; ++s) {
      const std::int64_t until = end / slices * s + (s == slices ? end % slices : 0);
      if (until > logic.now()) logic.run_until(until);
      progress(name, static_cast<double>(s) / slices);
    }
  }

  void operating_point(Build& build, ResultTable& table) {
    table.title = "Operating Point";
    if (build.analog()) {
      const std::vector<Probe> probes = analog_probes(netlist_, build.circuit());
      real_columns(table, probes);
      const analog::Solution solution = analog::operating_point(build.circuit(), dc_options());
      add_row(table, table.real, probes, 0.0, solution.unknowns());
    } else {
      table.scale_values.push_back(0.0);
    }
    if (build.digital()) {
      run_logic(build, 0, table.name);
      digital_columns(build, table);
    }
  }

  void dc(Build& build, const Analysis& analysis, ResultTable& table) {
    table.title = "DC transfer characteristic";
    const analog::Source& source = build.circuit().source(analysis.source);
    table.scale = {analysis.source,
                   source.kind == analog::SourceKind::voltage ? std::string("V") : "A"};
    const auto count = static_cast<std::size_t>(
                           std::floor((analysis.stop - analysis.start) / analysis.step + 1e-9)) +
                       1;
    std::vector<double> values;
    for (std::size_t k = 0; k < count; ++k) {
      values.push_back(analysis.start + static_cast<double>(k) * analysis.step);
    }
    const std::vector<Probe> probes = analog_probes(netlist_, build.circuit());
    real_columns(table, probes);
    build.circuit().system().observe({[&](double value, std::span<const double> x) {
                                        add_row(table, table.real, probes, value, x);
                                        progress(table.name, static_cast<double>(table.points()) /
                                                                 static_cast<double>(count));
                                      },
                                      nullptr});
    analog::dc_sweep(build.circuit(), analysis.source, values, dc_options());
  }

  void tran(Build& build, const Analysis& analysis, ResultTable& table) {
    table.title = "Transient Analysis";
    table.scale = {"time", "s"};
    if (build.analog()) {
      const std::vector<Probe> probes = analog_probes(netlist_, build.circuit());
      real_columns(table, probes);
      build.circuit().system().observe({[&](double t, std::span<const double> x) {
                                          add_row(table, table.real, probes, t, x);
                                          progress(table.name, t / analysis.stop);
                                        },
                                        nullptr});
      analog::TransientOptions options;
      options.stop = analysis.stop;
      options.step = analysis.step;
      // SPICE's default largest step: the step given, at most a fiftieth of the run.
      options.max_step =
          analysis.max_step > 0 ? analysis.max_step : std::min(analysis.step, analysis.stop / 50);
      options.tolerances = netlist_.tolerances;
      options.dc = dc_options();
      try {
        analog::transient(build.circuit(), options);
      } catch (...) {
        if (build.digital()) sample_logic(build, table);
        throw;
      }
      if (build.digital()) {
        run_logic(build, build.ticks(analysis.stop), table.name);
        digital_columns(build, table);
      }
      return;
    }
    const std::int64_t end = build.ticks(analysis.stop);
    try {
      run_logic(build, end, table.name);
    } catch (...) {
      sample_logic(build, table);
      throw;
    }
    sample_logic(build, table);
  }

  // A digital run's table: a point at every time a saved signal changed, and at the end.
  void sample_logic(Build& build, ResultTable& table) {
    const event::WaveformRecorder* recorded = kernel().events.waveforms();
    if (recorded == nullptr || !table.digital.empty()) return;
    if (!table.columns.empty()) return digital_columns(build, table);
    std::vector<std::int64_t> times{0};
    for (const std::string& name : digital_probes(netlist_, build)) {
      for (const event::Change& change : recorded->changes(build.signals().at(name).index)) {
        times.push_back(change.time);
      }
    }
    times.push_back(build.logic().now());
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    for (std::int64_t t : times)
      table.scale_values.push_back(static_cast<double>(t) * netlist_.tick);
    for (const std::string& name : digital_probes(netlist_, build)) {
      const event::SignalId id = build.signals().at(name);
      table.digital.push_back({"d(" + name + ")", ""});
      std::string values;
      for (std::int64_t t : times) values += build.logic().value_at(id, t);
      table.digital_values.push_back(std::move(values));
    }
  }

  void ac(Build& build, const Analysis& analysis, ResultTable& table) {
    table.title = "AC Analysis";
    table.scale = {"frequency", "Hz"};
    analog::AcOptions options;
    options.sweep = analysis.sweep;
    options.points = analysis.points;
    options.start = analysis.start;
    options.stop = analysis.stop;
    options.dc = dc_options();
    const std::size_t count = analog::ac_frequencies(options).size();
    const std::vector<Probe> probes = analog_probes(netlist_, build.circuit());
    for (const Probe& probe : probes) table.columns.push_back(probe.column);
    table.complex.assign(probes.size(), {});
    build.circuit().system().observe(
        {nullptr, [&](double f, std::span<const std::complex<double>> x) {
           add_row(table, table.complex, probes, f, x);
           progress(table.name, static_cast<double>(table.points()) / static_cast<double>(count));
         }});
    analog::ac_analysis(build.circuit(), options);
  }

  const Netlist& netlist_;
  const RunSettings& settings_;
  const ResultSink& sink_;
  Loader loader_;
};

}  // namespace

void run_netlist(const Netlist& netlist, const RunSettings& settings, const ResultSink& sink) {
  Runner(netlist, settings, sink).run();
}

}  // namespace host::netlist
