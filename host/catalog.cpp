#include "host/catalog.h"

#include <algorithm>
#include <cctype>

namespace host {

namespace {

using enum UnitKind;
using enum PortMode;
using enum QuantityKind;

constexpr unsigned analog_slots = slot::elab_desent | slot::ams_elab_tavo | slot::ams_each_iter;
constexpr unsigned evaluated_analog_slots = analog_slots | slot::usr_eval;
constexpr unsigned mos_slots = evaluated_analog_slots | slot::code_suprgs | slot::ac_code_suprgs;
constexpr unsigned elab_only = slot::elab_desent;
constexpr unsigned delayed_cell_slots = slot::elab_desent | slot::usr_eval;

const std::vector<PortInfo> two_terminals{{"p", terminal}, {"n", terminal}};
const std::vector<PortInfo> mos3_terminals{{"d", terminal}, {"g", terminal}, {"s", terminal}};
const std::vector<PortInfo> mos_base_terminals{{"s", terminal}, {"d", terminal}, {"g", terminal}};
const std::vector<PortInfo> mos4_terminals{
    {"di", terminal}, {"g", terminal}, {"s", terminal}, {"d", terminal}};

// Linear resistor: V from pin 1 to 2 and the current I through them.
const std::vector<QuantityBinding> resistor_quantities{{across, 1, 2}, {through, 1, 2}};

// 20HS: pins drain 1, gate 2, source 3.
const std::vector<QuantityBinding> mos20hs_quantities{
    {across, 1, 3}, {through, 1, 3},    {across, 2, 3},    {through, 2, 3},
    {across, 2, 1}, {through, 2, 1},    {across, 3, 1},    {across, 3, 0},
    {across, 1, 0}, {derivative, 2, 1}, {derivative, 2, 3}};

// 50 V: pins inner drain 1, gate 2, source 3, outer drain 4.
const std::vector<QuantityBinding> mos50v_quantities{
    {across, 4, 1},     {through, 4, 1},    {across, 1, 3},    {through, 1, 3}, {across, 1, 3},
    {through, 1, 3},    {across, 2, 3},     {through, 2, 3},   {across, 1, 2},  {through, 1, 2},
    {derivative, 1, 2}, {derivative, 2, 3}, {derivative, 1, 3}};

// MOS base: pins 1 source, 2 drain, 3 gate (no current). The linear branch and the channel
// run from pin 1 to 2; the control voltage is V(gate) - V(source); the reference of
// conduction A is the source itself (0), that of B the drain-source voltage, so that B drives
// with V(gate) - V(drain); the tanh arguments are the drain-source voltage for A and its
// negation for B; 5 to 8 are spare voltages.
const std::vector<QuantityBinding> mos_base_quantities{
    {across, 1, 2}, {through, 1, 2}, {through, 1, 2}, {across, 1, 1},
    {across, 2, 1}, {across, 2, 3},  {across, 1, 0},  {across, 2, 0},
    {across, 3, 0}, {across, 1, 2},  {across, 2, 1},  {across, 3, 1}};

// Above signals 0 and 2 tell the direction (a voltage above 0); 1 and 3 enable conduction A
// and B against the unit's own thresholds (N: quantities 3 and 4; P: 4 and 3).
// N: forward when V(d) > V(s); A when V(g) > V(s); B when V(g) > V(d).
const std::vector<std::int32_t> nmos_base_watched{10, 11, 9, 11};
// P: forward when V(s) > V(d); A when V(g) < V(s); B when V(g) < V(d).
const std::vector<std::int32_t> pmos_base_watched{0, 5, 10, 5};

using enum GenericType;

constexpr std::array<double, 3> one(double v) {
  return {v, 0.0, 0.0};
}

const std::vector<GenericInfo> isrc_generics{
    {"VSC", 1, real, one(1.0), 0, "V"},
    {"ISC", 2, real, one(1e-3), 0, "A"},
};

std::vector<GenericInfo> resistor_generics(std::int32_t position, double ohms) {
  return {{"R", position, real, one(ohms), 0, "Ohm"}};
}

const std::vector<GenericInfo> corner_resistor_generics{
    {"C1", 8, corner_table, {0.9e-12, 1e-12, 1.1e-12}, 0, "F"},
    {"C2", 9, corner_table, {0.9e-12, 1e-12, 1.1e-12}, 0, "F"},
    {"AREA", 13, real, one(1.0), 0, "um2"},
    {"MISMATCH", 14, real, one(1.0), 0, "%um"},
    {"PROCESS_CORNER", 18, integer, one(0), 1},
    {"DEV_HI", 20, real, one(0.0), 2},
    {"DEV_LO", 19, real, one(0.0), 3},
    {"R", 22, real, one(0.0), 4, "Ohm"},
};

// 20HS: the P and N units keep three generics at different positions.
std::vector<GenericInfo> mos20hs_generics(bool p_unit) {
  return {
      {"GFS_TABLE", 0, corner_table, {0.9e-4, 1e-4, 1.1e-4}, 0, "A/V2"},
      {"VTH_TABLE", 2, corner_table, {0.6, 0.7, 0.8}, 0, "V"},
      {"KREV", 5, real, one(1.0), 0},
      {"KFWD", 6, real, one(1.0), 0},
      {"C21", p_unit ? 7 : 8, real, one(1e-15), 0, "F"},
      {"C23", p_unit ? 8 : 9, real, one(1e-15), 0, "F"},
      {"KLIN", p_unit ? 9 : 7, real, one(1.0), 0},
      {"M", 10, integer, one(1), 0},
      {"PROCESS_CORNER", 11, integer, one(0), 1},
      {"GFS_C", 16, real, one(0.0), 2, "A/V2"},
      {"VGS_TH_C", 15, real, one(0.0), 3, "V"},
  };
}

std::vector<GenericInfo> mos50v_generics(bool level2) {
  std::vector<GenericInfo> generics{
      {"GFS_TABLE", 0, corner_table, {0.9e-2, 1e-2, 1.1e-2}, 0, "A/V2"},
      {"VTH_TABLE", 2, corner_table, {1.1, 1.2, 1.3}, 0, "V"},
      {"KDIV", 5, real, one(1.0), 0},
      {"KLIN", 6, real, one(1.0), 0},
      {"PROCESS_CORNER", 11, integer, one(0), 1},
      {"GFS_C", 16, real, one(1e-2), level2 ? 2 : 0, "A/V2"},
      {"VGS_TH_C", 15, real, one(1.2), level2 ? 3 : 0, "V"},
      {"RD", 17, real, one(1.0), 0, "Ohm"},
      {"C12", 18, real, one(1e-13), 0, "F"},
      {"C23", 19, real, one(1e-13), 0, "F"},
      {"C13", 20, real, one(1e-13), 0, "F"},
  };
  return generics;
}

const std::vector<GenericInfo> mos_base_generics{
    {"W", 0, real, one(1e-6), 0, "m"},    {"WSCALE", 1, real, one(1.0), 0},
    {"L", 2, real, one(1e-6), 0, "m"},    {"RLIN", 4, real, one(1e9), 0, "Ohm"},
    {"KMUL", 10, real, one(1.0), 0},      {"SLOPE", 11, real, one(1.0), 0, "1/V"},
    {"VOFF", 12, real, one(0.0), 0, "V"},
};

const std::vector<GenericInfo> delayed_cell_generics{
    {"DELAY", 5, real, one(1e-9), 0, "s"},
    {"PROCESS_CORNER", 6, integer, one(0), 1},
    {"DELAY_FACTORS", 7, corner_table, {0.8, 1.0, 1.25}, 0},
};

CatalogEntry cell(std::string_view name, std::vector<PortInfo> ports, bool delayed,
                  std::string_view summary, std::int32_t processes = 1) {
  return {name,
          digital,
          delayed ? delayed_cell_slots : elab_only,
          std::move(ports),
          delayed ? 8 : 0,
          {},
          {},
          processes,
          summary,
          delayed ? delayed_cell_generics : std::vector<GenericInfo>{}};
}

CatalogEntry structural_unit(std::string_view name, std::vector<PortInfo> ports,
                             std::string_view summary) {
  return {name, structural, elab_only, std::move(ports), 0, {}, {}, 0, summary};
}

std::vector<PortInfo> gate_ports(int inputs) {
  static constexpr std::string_view names[] = {"a", "b", "c"};
  std::vector<PortInfo> ports;
  for (int i = 0; i < inputs; ++i) ports.push_back({names[i], in});
  ports.push_back({"y", out});
  return ports;
}

std::vector<PortInfo> terminals(std::initializer_list<std::string_view> names) {
  std::vector<PortInfo> ports;
  for (auto name : names) ports.push_back({name, terminal});
  return ports;
}

std::vector<CatalogEntry> make_catalog() {
  const std::vector<PortInfo> pad = terminals({"pad", "core"});
  const std::vector<PortInfo> analog_pad =
      terminals({"pad", "core", "vdd", "vss", "vddio", "vssio"});
  const std::vector<PortInfo> fet = terminals({"d", "g", "s"});
  const std::vector<PortInfo> monitor = terminals({"vdd", "vss"});
  return {
      {"DEFAULT-ZEB_ISRC",
       analog,
       analog_slots,
       two_terminals,
       3,
       {{across, 1, 2}, {through, 1, 2}, {assigned}, {assigned}, {assigned}, {assigned}},
       {},
       0,
       "soft-limited current source",
       isrc_generics},
      {"LEVEL_2-ZEB_PMOS20HS_W5UL1P8U",
       analog,
       mos_slots,
       mos3_terminals,
       17,
       mos20hs_quantities,
       {},
       0,
       "20HS P transistor, corner parameters",
       mos20hs_generics(true)},
      {"LEVEL_0-ZEB_PMOS20HS_W5UL1P8U",
       analog,
       mos_slots,
       mos3_terminals,
       17,
       mos20hs_quantities,
       {},
       0,
       "20HS P transistor",
       mos20hs_generics(true)},
      {"LEVEL_2-ZEB_NMOS20HS_W5UL1P8U",
       analog,
       mos_slots,
       mos3_terminals,
       17,
       mos20hs_quantities,
       {},
       0,
       "20HS N transistor, corner parameters",
       mos20hs_generics(false)},
      {"LEVEL_0-ZEB_NMOS20HS_W5UL1P8U",
       analog,
       mos_slots,
       mos3_terminals,
       17,
       mos20hs_quantities,
       {},
       0,
       "20HS N transistor, first-corner parameters",
       mos20hs_generics(false)},
      {"LEVEL_2-PMOS50Y_W100UL1U",
       analog,
       mos_slots,
       mos4_terminals,
       21,
       mos50v_quantities,
       {},
       0,
       "50 V P transistor, corner parameters",
       mos50v_generics(true)},
      {"LEVEL_0-PMOS50Y_W100UL1U",
       analog,
       mos_slots,
       mos4_terminals,
       21,
       mos50v_quantities,
       {},
       0,
       "50 V P transistor",
       mos50v_generics(false)},
      {"LEVEL_2-NMOSI50Y_W100UL0U5",
       analog,
       mos_slots,
       mos4_terminals,
       21,
       mos50v_quantities,
       {},
       0,
       "50 V N transistor, corner parameters",
       mos50v_generics(true)},
      {"LEVEL_0-NMOSI50Y_W100UL0U5",
       analog,
       mos_slots,
       mos4_terminals,
       21,
       mos50v_quantities,
       {},
       0,
       "50 V N transistor",
       mos50v_generics(false)},
      {"DEFAULT-ZEB_PMOS_MOD_BASE", analog, analog_slots, mos_base_terminals, 13,
       mos_base_quantities, pmos_base_watched, 0, "P MOS base switched by above signals",
       mos_base_generics},
      {"DEFAULT-ZEB_NMOS_MOD_BASE", analog, analog_slots, mos_base_terminals, 13,
       mos_base_quantities, nmos_base_watched, 0, "N MOS base switched by above signals",
       mos_base_generics},
      {"LEVEL_2-ZEB_RES_2P",
       analog,
       evaluated_analog_slots,
       two_terminals,
       23,
       {{across, 1, 2},
        {through, 1, 2},
        {across, 1, 0},
        {through, 1, 0},
        {across, 2, 0},
        {through, 2, 0},
        {derivative, 1, 0},
        {derivative, 2, 0}},
       {},
       0,
       "resistor with per-corner pin capacitances",
       corner_resistor_generics},
      {"LEVEL_0-ZEB_RES_2P",
       analog,
       analog_slots,
       two_terminals,
       19,
       resistor_quantities,
       {},
       0,
       "linear resistor",
       resistor_generics(18, 1000.0)},
      {"LEVEL_0-ZEB_PAD_RES61",
       analog,
       analog_slots,
       two_terminals,
       6,
       resistor_quantities,
       {},
       0,
       "pad resistor",
       resistor_generics(5, 61.0)},
      {"LEVEL_0-ZEB_CAP_2P",
       analog,
       analog_slots,
       two_terminals,
       19,
       {{across, 1, 2}, {through, 1, 2}, {derivative, 1, 2}},
       {},
       0,
       "linear capacitor",
       {{"C", 18, real, one(1e-12), 0, "F"}}},
      cell("LEVEL_2-ZEB_DL_AOI21", gate_ports(3), true, "AND-OR-invert, corner delay"),
      cell("LEVEL_2-ZEB_DL_XNOR2", gate_ports(2), true, "XNOR, corner delay"),
      cell("LEVEL_2-ZEB_DL_BUFX2", gate_ports(1), true, "buffer, corner delay"),
      cell("LEVEL_2-ZEB_DL_OR2", gate_ports(2), true, "OR, corner delay"),
      cell("LEVEL_0-ZEB_DL_NAND3", gate_ports(3), false, "NAND"),
      cell("LEVEL_0-ZEB_DL_INVX3", gate_ports(1), false, "inverter"),
      cell("LEVEL_0-ZEB_DL_INVX2", gate_ports(1), false, "inverter"),
      cell("LEVEL_0-ZEB_DL_NOR2I1", gate_ports(2), false, "NOR, first input inverted"),
      cell("LEVEL_0-ZEB_DL_DFFR", {{"d", in}, {"clk", in}, {"rn", in}, {"q", out}}, false,
           "D flip-flop, reset on '0'"),
      cell("LEVEL_0-ZEB_DL_AOI21", gate_ports(3), false, "AND-OR-invert"),
      cell("LEVEL_0-ZEB_DL_XOR2", gate_ports(2), false, "XOR"),
      cell("LEVEL_0-ZEB_DL_XNOR2", gate_ports(2), false, "XNOR"),
      cell("LEVEL_0-ZEB_DL_DBUFX1", {{"a", in}, {"y", out}, {"yn", out}}, false,
           "buffer with inverted output", 2),
      structural_unit("LEVEL_0-ZEB_PAD_DIN", pad, "digital input pad"),
      structural_unit("LEVEL_2-ZEB_PAD_DIN", pad, "digital input pad"),
      structural_unit("LEVEL_0-ZEB_PAD_DOUT", pad, "digital output pad"),
      structural_unit("LEVEL_2-ZEB_PAD_DOUT", pad, "digital output pad"),
      structural_unit("LEVEL_0-ZEB_PAD_TRI", pad, "tristate pad"),
      structural_unit("LEVEL_2-ZEB_PAD_TRI", pad, "tristate pad"),
      structural_unit("LEVEL_0-ZEB_PAD_NFET", pad, "pad N FET"),
      structural_unit("LEVEL_2-ZEB_PAD_NFET", pad, "pad N FET"),
      structural_unit("LEVEL_0-ZEB_PAD_PFET", pad, "pad P FET"),
      structural_unit("LEVEL_2-ZEB_PAD_PFET", pad, "pad P FET"),
      structural_unit("LEVEL_0-ZEB_PAD_ANA_BASIC", analog_pad, "analog pad"),
      structural_unit("LEVEL_2-ZEB_PAD_ANA_BASIC", analog_pad, "analog pad"),
      structural_unit("IDEAL-ZEB_NMOS_MOD", fet, "ideal N MOS wrapper"),
      structural_unit("IDEAL-ZEB_PMOS_MOD", fet, "ideal P MOS wrapper"),
      structural_unit("DETAILED-ZEB_NFET_BASIC", fet, "basic N FET"),
      structural_unit("DETAILED-ZEB_PFET_BASIC", fet, "basic P FET"),
      structural_unit("MONITOR-ZEB_MONITOR_SUPPLY_3V3", monitor, "3.3 V supply monitor"),
      structural_unit("MONITOR-ZEB_MONITOR_SUPPLY_5V", monitor, "5 V supply monitor"),
      structural_unit("MONITOR-ZEB_MONITOR_SUPPLY_20V", monitor, "20 V supply monitor"),
      structural_unit("MONITOR-ZEB_MONITOR_SUPPLY_50V", monitor, "50 V supply monitor"),
      {"ZEB_HVSW_PACKAGE", package, elab_only, {}, 0, {}, {}, 0, "package"},
  };
}

}  // namespace

std::string_view kind_name(UnitKind kind) {
  switch (kind) {
    case analog:
      return "analog";
    case digital:
      return "digital";
    case structural:
      return "structural";
    case package:
      return "package";
  }
  return "?";
}

std::int32_t CatalogEntry::pin_count() const {
  return static_cast<std::int32_t>(std::count_if(
      ports.begin(), ports.end(), [](const PortInfo& p) { return p.mode == terminal; }));
}

const std::vector<CatalogEntry>& catalog() {
  static const std::vector<CatalogEntry> entries = make_catalog();
  return entries;
}

const GenericInfo* CatalogEntry::generic(std::string_view generic_name) const {
  for (const GenericInfo& info : generics) {
    if (info.name.size() != generic_name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < info.name.size() && same; ++i) {
      same = std::tolower(static_cast<unsigned char>(info.name[i])) ==
             std::tolower(static_cast<unsigned char>(generic_name[i]));
    }
    if (same) return &info;
  }
  return nullptr;
}

const CatalogEntry* find_entry(std::string_view name) {
  for (const CatalogEntry& entry : catalog()) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

}  // namespace host
