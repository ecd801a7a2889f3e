// A netlist as read: its elements, stimuli, analyses and settings, each with the place it
// was written, checked against the catalog but not yet built.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/analog/ac_analysis.h"
#include "host/analog/circuit.h"
#include "host/analog/options.h"
#include "host/analog/waveform.h"
#include "host/catalog.h"
#include "host/netlist/source_text.h"

namespace host::netlist {

struct SourceLine {
  Location where;
  std::string name;
  analog::SourceKind kind;
  std::string plus, minus;
  analog::Waveform waveform;
};

struct GenericSetting {
  Location where;
  const GenericInfo* generic;
  std::vector<double> values;  // one, or three for a corner table
};

// An instance of a deliverable: an analog unit on nodes, or a logic cell on signals.
struct UnitLine {
  Location where;
  std::string name;
  const CatalogEntry* entry;
  std::vector<std::string> nodes;
  std::vector<GenericSetting> generics;
};

struct StimulusLine {
  enum class Kind { constant, clock, timed };
  Location where;
  std::string signal;
  Kind kind;
  char value = 'U';                                   // constant
  double period = 0.0, high_time = 0.0, delay = 0.0;  // clock, seconds
  std::vector<std::pair<double, char>> timed;         // (seconds, value)
};

struct Analysis {
  enum class Kind { op, dc, tran, ac };
  Location where;
  Kind kind = Kind::op;
  std::string source;                    // dc
  double start = 0, stop = 0, step = 0;  // dc values; tran step and stop
  double max_step = 0;                   // tran
  analog::AcSweep sweep = analog::AcSweep::decade;
  std::int32_t points = 0;  // ac
};

struct SaveItem {
  enum class Kind { voltage, current, digital };
  Location where;
  Kind kind;
  std::string name;
};

struct Netlist {
  std::filesystem::path file;
  std::vector<SourceLine> sources;
  std::vector<UnitLine> units;  // in netlist order
  std::vector<StimulusLine> stimuli;
  std::vector<Analysis> analyses;
  std::vector<std::int32_t> corners{0};  // one run per corner
  double temperature = 27.0;
  double tick = 1e-15;  // seconds
  std::int32_t mc_runs = 0;
  std::uint64_t mc_seed = 1;
  std::optional<std::filesystem::path> plugins;  // resolved against the netlist's directory
  Location plugins_where;
  analog::Tolerances tolerances;
  std::vector<SaveItem> saves;  // empty: everything

  bool has_analog_units() const;
  bool has_logic_cells() const;
};

// Reads and checks a netlist; throws NetlistError "FILE:LINE: problem".
Netlist parse_netlist(const std::filesystem::path& file);

}  // namespace host::netlist
