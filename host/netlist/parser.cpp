// Element and control lines: each statement checked on its own, then the references between
// them (saved nodes, swept sources, stimulated signals).
#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <set>

#include "host/netlist/netlist.h"
#include "host/netlist/number.h"

namespace host::netlist {

namespace {

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool is_reference(const std::string& node) {
  return node == "0" || node == "gnd";
}

std::string describe(const Location& where) {
  return where.file + ":" + std::to_string(where.line);
}

// The tokens of one statement, read left to right.
class Cursor {
 public:
  explicit Cursor(const Statement& statement) : tokens_(statement.tokens) {}

  bool done() const { return at_ >= tokens_.size(); }
  const Token& peek() const { return done() ? tokens_.back() : tokens_[at_]; }
  // The place of the next token, or of the last one at the end.
  const Location& where() const { return peek().where; }
  bool next_is(std::string_view text) const {
    return !done() && !tokens_[at_].quoted && lower(tokens_[at_].text) == text;
  }
  bool take_if(std::string_view text) {
    if (!next_is(text)) return false;
    ++at_;
    return true;
  }
  const Token& take(const std::string& what) {
    if (done()) throw NetlistError(tokens_.back().where, "missing " + what);
    return tokens_[at_++];
  }
  void expect(std::string_view text, const std::string& context) {
    if (!take_if(text)) {
      throw NetlistError(where(), "expected '" + std::string(text) + "' " + context +
                                      (done() ? "" : ", found '" + peek().text + "'"));
    }
  }
  double number(const std::string& what) {
    const Token& token = take(what);
    std::string problem;
    const std::optional<double> value = parse_number(token.text, &problem);
    if (!value || token.quoted) {
      throw NetlistError(token.where,
                         "malformed number for " + what + ": " +
                             (token.quoted ? "'" + token.text + "' is a string" : problem));
    }
    return *value;
  }
  bool next_is_number() const {
    return !done() && !tokens_[at_].quoted && parse_number(tokens_[at_].text).has_value();
  }
  // A number that must be a whole count.
  std::int64_t whole(const std::string& what) {
    const Location place = where();
    const double value = number(what);
    if (value != std::floor(value) || std::abs(value) > 9.0e15) {
      throw NetlistError(place, what + " must be a whole number");
    }
    return static_cast<std::int64_t>(value);
  }
  void finish(const std::string& context) {
    if (!done()) throw NetlistError(where(), "unexpected '" + peek().text + "' " + context);
  }
  std::size_t position() const { return at_; }
  const std::vector<Token>& tokens() const { return tokens_; }
  void skip(std::size_t n) { at_ += n; }

 private:
  const std::vector<Token>& tokens_;
  std::size_t at_ = 0;
};

// The arguments of a waveform "NAME(a b c)", commas allowed between them.
std::vector<double> waveform_arguments(Cursor& cursor, const std::string& name) {
  cursor.expect("(", "after " + name);
  std::vector<double> values;
  while (!cursor.take_if(")")) {
    if (cursor.take_if(",")) continue;
    values.push_back(cursor.number(name + " argument " + std::to_string(values.size() + 1)));
  }
  return values;
}

void check_count(const Location& where, const std::string& name, std::size_t count,
                 std::size_t least, std::size_t most) {
  if (count < least || count > most) {
    throw NetlistError(where, name + " takes " + std::to_string(least) +
                                  (least == most ? "" : " to " + std::to_string(most)) +
                                  " values, " + std::to_string(count) + " given");
  }
}

class Parser {
 public:
  explicit Parser(const std::filesystem::path& file) { netlist_.file = file; }

  Netlist parse() {
    const std::vector<Statement> statements = read_statements(netlist_.file);
    for (const Statement& statement : statements) parse_statement(statement);
    const Location end =
        statements.empty() ? Location{netlist_.file.string(), 1} : statements.back().where();
    check_references(end);
    return std::move(netlist_);
  }

 private:
  void parse_statement(const Statement& statement) {
    const Token& first = statement.tokens.front();
    const std::string keyword = lower(first.text);
    if (first.quoted) throw NetlistError(first.where, "a line cannot begin with a string");
    if (keyword[0] == '.') return parse_control(statement, keyword);
    switch (keyword[0]) {
      case 'v':
        return parse_source(statement, analog::SourceKind::voltage);
      case 'i':
        return parse_source(statement, analog::SourceKind::current);
      case 'x':
        return parse_instance(statement);
      case 'r':
        return parse_shorthand(statement, "LEVEL_0-ZEB_RES_2P", "R");
      case 'c':
        return parse_shorthand(statement, "LEVEL_0-ZEB_CAP_2P", "C");
      default:
        throw NetlistError(first.where, "'" + first.text +
                                            "' is no element: element names begin with V, I, X, "
                                            "R or C, control lines with '.'");
    }
  }

  void claim_name(const Token& name) {
    const auto [at, added] = names_.emplace(name.text, name.where);
    if (!added) {
      throw NetlistError(name.where, "'" + name.text + "' is defined twice (first at " +
                                         describe(at->second) + ")");
    }
  }

  void parse_source(const Statement& statement, analog::SourceKind kind) {
    Cursor cursor(statement);
    const Token& name = cursor.take("name");
    claim_name(name);
    SourceLine source{name.where, name.text, kind, "", "", analog::Waveform::dc(0.0)};
    source.plus = node_name(cursor.take("node '+' of " + name.text));
    source.minus = node_name(cursor.take("node '-' of " + name.text));
    std::optional<double> dc;
    std::optional<std::pair<double, double>> ac;
    std::optional<analog::Waveform> shape;
    while (!cursor.done()) {
      const Location place = cursor.where();
      if (cursor.take_if("dc")) {
        if (dc) throw NetlistError(place, name.text + ": DC value given twice");
        dc = cursor.number("the DC value of " + name.text);
      } else if (cursor.take_if("ac")) {
        if (ac) throw NetlistError(place, name.text + ": AC given twice");
        const double magnitude =
            cursor.next_is_number() ? cursor.number("the AC magnitude of " + name.text) : 1.0;
        const double phase =
            cursor.next_is_number() ? cursor.number("the AC phase of " + name.text) : 0.0;
        ac = {magnitude, phase};
      } else if (cursor.next_is("pulse") || cursor.next_is("sin") || cursor.next_is("pwl")) {
        if (shape) throw NetlistError(place, name.text + ": a second waveform");
        shape = waveform(cursor, name.text);
      } else if (cursor.next_is_number() && !dc) {
        dc = cursor.number("the value of " + name.text);
      } else {
        const Token& token = cursor.take("");
        std::string problem;
        if (!parse_number(token.text, &problem) &&
            std::isdigit(static_cast<unsigned char>(token.text[0])) != 0) {
          throw NetlistError(token.where, "malformed number for " + name.text + ": " + problem);
        }
        throw NetlistError(token.where, name.text + ": unexpected '" + token.text +
                                            "' (expected DC, AC, PULSE, SIN, PWL or a value)");
      }
    }
    if (!dc && !shape) throw NetlistError(name.where, name.text + " has no value");
    source.waveform = shape ? *shape : analog::Waveform::dc(*dc);
    if (shape && dc) source.waveform.with_dc(*dc);
    if (ac) source.waveform.with_ac(ac->first, ac->second);
    const std::string problem = source.waveform.problem();
    if (!problem.empty()) throw NetlistError(name.where, name.text + ": " + problem);
    if (source.plus == source.minus) {
      throw NetlistError(name.where, name.text + " has both ends on node '" + source.plus + "'");
    }
    analog_nodes(source.where, {source.plus, source.minus});
    netlist_.sources.push_back(std::move(source));
  }

  analog::Waveform waveform(Cursor& cursor, const std::string& source) {
    const Token& kind = cursor.take("waveform");
    const std::string name = lower(kind.text);
    const std::vector<double> v = waveform_arguments(cursor, kind.text);
    const auto at = [&](std::size_t i) { return i < v.size() ? v[i] : 0.0; };
    if (name == "pulse") {
      check_count(kind.where, source + ": PULSE", v.size(), 2, 7);
      return analog::Waveform::pulse({at(0), at(1), at(2), at(3), at(4), at(5), at(6)});
    }
    if (name == "sin") {
      check_count(kind.where, source + ": SIN", v.size(), 2, 6);
      return analog::Waveform::sine({at(0), at(1), at(2), at(3), at(4), at(5)});
    }
    if (v.size() < 2 || v.size() % 2 != 0) {
      throw NetlistError(kind.where, source + ": PWL takes pairs of time and value, " +
                                         std::to_string(v.size()) + " values given");
    }
    analog::Pwl pwl;
    for (std::size_t i = 0; i < v.size(); i += 2) pwl.points.emplace_back(v[i], v[i + 1]);
    return analog::Waveform::pwl(std::move(pwl));
  }

  std::string node_name(const Token& token) {
    if (token.quoted || token.text == "(" || token.text == ")" || token.text == "[" ||
        token.text == "]" || token.text == "=" || token.text == ",") {
      throw NetlistError(token.where, "'" + token.text + "' is not a node name");
    }
    return token.text == "gnd" ? "0" : token.text;
  }

  // Records the nodes as analog; a digital signal of the same name is an error.
  void analog_nodes(const Location& where, const std::vector<std::string>& nodes) {
    for (const std::string& node : nodes) {
      if (signals_.count(node) != 0) {
        throw NetlistError(
            where, "'" + node + "' is a digital signal of a logic cell, not an analog node");
      }
      nodes_.insert(node);
    }
  }

  void digital_signals(const Location& where, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      if (nodes_.count(name) != 0 || is_reference(name)) {
        throw NetlistError(
            where, "'" + name + "' is an analog node; a logic cell connects digital signals");
      }
      signals_.insert(name);
    }
  }

  const CatalogEntry& deliverable(const Token& token, const std::string& instance) {
    const CatalogEntry* entry = find_entry(token.text);
    if (entry == nullptr) {
      throw NetlistError(token.where, instance + ": unknown deliverable '" + token.text +
                                          "' (zebsim list shows them)");
    }
    if (entry->kind == UnitKind::structural || entry->kind == UnitKind::package) {
      throw NetlistError(token.where, instance + ": " + token.text + " is a " +
                                          std::string(kind_name(entry->kind)) +
                                          " unit without equations or processes; zebsim cannot "
                                          "simulate it");
    }
    return *entry;
  }

  GenericSetting generic_value(Cursor& cursor, const UnitLine& unit) {
    const Token& name = cursor.take("generic");
    cursor.expect("=", "after generic " + name.text);
    const GenericInfo* generic = unit.entry->generic(name.text);
    if (generic == nullptr) {
      std::string known;
      for (const GenericInfo& g : unit.entry->generics)
        known += (known.empty() ? "" : " ") + std::string(g.name);
      throw NetlistError(name.where,
                         unit.name + ": " + std::string(unit.entry->name) + " has no generic '" +
                             name.text + "'" +
                             (known.empty() ? " (it has none)" : " (it has " + known + ")"));
    }
    GenericSetting setting{name.where, generic, {}};
    const std::string what = unit.name + " " + name.text;
    if (cursor.take_if("[")) {
      while (!cursor.take_if("]")) {
        if (cursor.take_if(",")) continue;
        setting.values.push_back(cursor.number(what));
      }
    } else {
      setting.values.push_back(cursor.number(what));
    }
    if (generic->type == GenericType::corner_table && setting.values.size() != 3) {
      throw NetlistError(name.where, what + " is a corner table: give three values, [a b c]");
    }
    if (generic->type != GenericType::corner_table && setting.values.size() != 1) {
      throw NetlistError(name.where, what + " takes one value");
    }
    if (generic->type == GenericType::integer &&
        setting.values[0] != std::floor(setting.values[0])) {
      throw NetlistError(name.where, what + " must be a whole number");
    }
    for (const GenericSetting& earlier : unit.generics) {
      if (earlier.generic == generic) throw NetlistError(name.where, what + " given twice");
    }
    return setting;
  }

  void parse_instance(const Statement& statement) {
    Cursor cursor(statement);
    const Token& name = cursor.take("name");
    claim_name(name);
    // The deliverable is the last word before the first GENERIC=value.
    const std::vector<Token>& tokens = statement.tokens;
    std::size_t end = tokens.size();
    for (std::size_t i = 1; i + 1 < tokens.size(); ++i) {
      if (tokens[i + 1].text == "=" && !tokens[i + 1].quoted) {
        end = i;
        break;
      }
    }
    if (end < 2) throw NetlistError(name.where, name.text + ": missing deliverable");
    UnitLine unit{name.where, name.text, &deliverable(tokens[end - 1], name.text), {}, {}};
    for (std::size_t i = 1; i + 1 < end; ++i) unit.nodes.push_back(node_name(tokens[i]));
    add_unit(std::move(unit), cursor, end);
  }

  // Rname a b value and Cname a b value: a linear resistor or capacitor of the library.
  void parse_shorthand(const Statement& statement, std::string_view deliverable_name,
                       const std::string& generic_name) {
    Cursor cursor(statement);
    const Token& name = cursor.take("name");
    claim_name(name);
    UnitLine unit{name.where, name.text, find_entry(deliverable_name), {}, {}};
    unit.nodes.push_back(node_name(cursor.take("first node of " + name.text)));
    unit.nodes.push_back(node_name(cursor.take("second node of " + name.text)));
    const double value = cursor.number("the value of " + name.text);
    cursor.finish("after the value of " + name.text);
    unit.generics.push_back({name.where, unit.entry->generic(generic_name), {value}});
    add_unit(std::move(unit), cursor, statement.tokens.size());
  }

  void add_unit(UnitLine unit, Cursor& cursor, std::size_t generics_from) {
    const std::size_t ports = unit.entry->ports.size();
    if (unit.nodes.size() != ports) {
      std::string names;
      for (const PortInfo& port : unit.entry->ports) names += " " + std::string(port.name);
      throw NetlistError(unit.where, unit.name + ": " + std::string(unit.entry->name) + " has " +
                                         std::to_string(ports) + " ports (" + names.substr(1) +
                                         "), " + std::to_string(unit.nodes.size()) + " connected");
    }
    cursor.skip(generics_from - cursor.position());
    while (!cursor.done()) unit.generics.push_back(generic_value(cursor, unit));
    if (unit.entry->kind == UnitKind::digital) {
      digital_signals(unit.where, unit.nodes);
    } else {
      analog_nodes(unit.where, unit.nodes);
      if (unit.entry->watched.size() > 0) mos_base_.insert(unit.name);
    }
    netlist_.units.push_back(std::move(unit));
  }

  static char logic_value(const Token& token) {
    const std::string text = token.text;
    static constexpr std::string_view values = "UX01ZWLH-";
    if (text.size() != 1 ||
        values.find(static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])))) ==
            std::string_view::npos) {
      throw NetlistError(token.where,
                         "'" + text + "' is not a std_ulogic value (U X 0 1 Z W L H -)");
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  }

  void parse_stimulus(Cursor& cursor, const Location& where) {
    StimulusLine stimulus;
    stimulus.where = where;
    stimulus.signal = cursor.take("signal name").text;
    const Token& kind = cursor.take("stimulus kind (const, clock or timed)");
    const std::string k = lower(kind.text);
    const std::string what = ".stim " + stimulus.signal;
    if (k == "const") {
      stimulus.kind = StimulusLine::Kind::constant;
      stimulus.value = logic_value(cursor.take("value"));
    } else if (k == "clock") {
      stimulus.kind = StimulusLine::Kind::clock;
      stimulus.period = cursor.number(what + " period");
      stimulus.high_time = cursor.done() ? stimulus.period / 2 : cursor.number(what + " high time");
      stimulus.delay = cursor.done() ? 0.0 : cursor.number(what + " delay");
      if (!(stimulus.period > 0) || !(stimulus.high_time > 0) ||
          !(stimulus.high_time < stimulus.period) || stimulus.delay < 0) {
        throw NetlistError(where, what +
                                      ": a clock needs a period > 0, a high time between 0 "
                                      "and the period and a delay >= 0");
      }
    } else if (k == "timed") {
      stimulus.kind = StimulusLine::Kind::timed;
      while (!cursor.done()) {
        const Location place = cursor.where();
        const double time = cursor.number(what + " time");
        const char value = logic_value(cursor.take("value after time"));
        if (time < 0 || (!stimulus.timed.empty() && time <= stimulus.timed.back().first)) {
          throw NetlistError(place, what + ": times must be >= 0 and increasing");
        }
        stimulus.timed.emplace_back(time, value);
      }
      if (stimulus.timed.empty()) throw NetlistError(where, what + ": no values");
    } else {
      throw NetlistError(kind.where,
                         what + ": unknown stimulus '" + kind.text + "' (const, clock or timed)");
    }
    cursor.finish("after " + what);
    for (const StimulusLine& earlier : netlist_.stimuli) {
      if (earlier.signal == stimulus.signal) {
        throw NetlistError(where, "signal '" + stimulus.signal + "' is driven twice (first at " +
                                      describe(earlier.where) + ")");
      }
    }
    netlist_.stimuli.push_back(std::move(stimulus));
  }

  void once(const std::string& keyword, const Location& where) {
    const auto [at, added] = controls_.emplace(keyword, where);
    if (!added) {
      throw NetlistError(where, keyword + " given twice (first at " + describe(at->second) + ")");
    }
  }

  void parse_control(const Statement& statement, const std::string& keyword) {
    Cursor cursor(statement);
    const Location where = cursor.take("control").where;
    Analysis analysis;
    analysis.where = where;
    analysis.kind = Analysis::Kind::op;
    if (keyword == ".op") {
      netlist_.analyses.push_back(analysis);
    } else if (keyword == ".dc") {
      analysis.kind = Analysis::Kind::dc;
      analysis.source = cursor.take("source to sweep").text;
      analysis.start = cursor.number(".dc start");
      analysis.stop = cursor.number(".dc stop");
      analysis.step = cursor.number(".dc step");
      if (analysis.step == 0 || (analysis.stop - analysis.start) / analysis.step < 0 ||
          (analysis.stop - analysis.start) / analysis.step > 1e7) {
        throw NetlistError(where, ".dc: the step must lead from start to stop");
      }
      netlist_.analyses.push_back(analysis);
    } else if (keyword == ".tran") {
      analysis.kind = Analysis::Kind::tran;
      analysis.step = cursor.number(".tran step");
      analysis.stop = cursor.number(".tran stop time");
      if (!cursor.done()) analysis.max_step = cursor.number(".tran largest step");
      if (!(analysis.stop > 0) || !(analysis.step > 0) || analysis.max_step < 0) {
        throw NetlistError(where, ".tran needs a step > 0 and a stop time > 0");
      }
      netlist_.analyses.push_back(analysis);
    } else if (keyword == ".ac") {
      analysis.kind = Analysis::Kind::ac;
      const Token& sweep = cursor.take(".ac sweep (dec or lin)");
      if (lower(sweep.text) == "dec") {
        analysis.sweep = analog::AcSweep::decade;
      } else if (lower(sweep.text) == "lin") {
        analysis.sweep = analog::AcSweep::linear;
      } else {
        throw NetlistError(sweep.where, ".ac: unknown sweep '" + sweep.text + "' (dec or lin)");
      }
      const std::int64_t points = cursor.whole(".ac points");
      analysis.start = cursor.number(".ac start frequency");
      analysis.stop = cursor.number(".ac stop frequency");
      if (points < 1 || points > 1000000 || !(analysis.start > 0) ||
          !(analysis.stop >= analysis.start)) {
        throw NetlistError(where, ".ac needs points >= 1 and 0 < start <= stop");
      }
      analysis.points = static_cast<std::int32_t>(points);
      netlist_.analyses.push_back(analysis);
    } else if (keyword == ".corner") {
      once(keyword, where);
      netlist_.corners.clear();
      do {
        const Location place = cursor.where();
        const std::int64_t corner = cursor.whole(".corner");
        if (corner < 0 || corner > 2) throw NetlistError(place, ".corner must be 0, 1 or 2");
        netlist_.corners.push_back(static_cast<std::int32_t>(corner));
      } while (!cursor.done());
    } else if (keyword == ".temp") {
      once(keyword, where);
      netlist_.temperature = cursor.number(".temp");
    } else if (keyword == ".tick") {
      once(keyword, where);
      netlist_.tick = cursor.number(".tick");
      const double fs = netlist_.tick * 1e15;
      if (!(fs >= 0.5) || std::abs(fs - std::round(fs)) > 1e-6 * fs || fs > 1e15) {
        throw NetlistError(where, ".tick must be a whole number of femtoseconds, 1f to 1");
      }
    } else if (keyword == ".mc") {
      once(keyword, where);
      const std::int64_t runs = cursor.whole(".mc runs");
      if (runs < 1 || runs > 100000) throw NetlistError(where, ".mc runs must be 1 to 100000");
      netlist_.mc_runs = static_cast<std::int32_t>(runs);
      if (!cursor.done()) {
        const std::int64_t seed = cursor.whole(".mc seed");
        if (seed < 0) throw NetlistError(where, ".mc seed must not be negative");
        netlist_.mc_seed = static_cast<std::uint64_t>(seed);
      }
    } else if (keyword == ".plugins") {
      once(keyword, where);
      const Token& dir = cursor.take("plug-in directory");
      std::filesystem::path path = dir.text;
      if (path.is_relative()) path = netlist_.file.parent_path() / path;
      std::error_code error;
      if (!std::filesystem::is_directory(path, error)) {
        throw NetlistError(dir.where, "plug-in directory '" + dir.text + "' does not exist");
      }
      netlist_.plugins = path;
      netlist_.plugins_where = where;
    } else if (keyword == ".options" || keyword == ".option") {
      parse_options(cursor);
    } else if (keyword == ".save") {
      parse_save(cursor);
    } else if (keyword == ".stim") {
      parse_stimulus(cursor, where);
      return;
    } else {
      throw NetlistError(where, "unknown control line '" + statement.tokens.front().text + "'");
    }
    cursor.finish("after " + keyword);
  }

  void parse_options(Cursor& cursor) {
    while (!cursor.done()) {
      const Token& name = cursor.take("option");
      cursor.expect("=", "after option " + name.text);
      const std::string option = lower(name.text);
      const double value = cursor.number("option " + name.text);
      if (!(value > 0)) throw NetlistError(name.where, "option " + name.text + " must be > 0");
      if (option == "reltol") {
        netlist_.tolerances.reltol = value;
      } else if (option == "vntol") {
        netlist_.tolerances.vntol = value;
      } else if (option == "abstol") {
        netlist_.tolerances.abstol = value;
      } else {
        throw NetlistError(name.where,
                           "unknown option '" + name.text + "' (reltol, vntol, abstol)");
      }
    }
  }

  void parse_save(Cursor& cursor) {
    if (cursor.done()) throw NetlistError(cursor.where(), ".save names nothing");
    while (!cursor.done()) {
      const Token& kind = cursor.take("what to save");
      const std::string k = lower(kind.text);
      if (k == "all") {
        save_all_ = true;
        continue;
      }
      SaveItem item{kind.where, SaveItem::Kind::voltage, ""};
      if (k == "i") {
        item.kind = SaveItem::Kind::current;
      } else if (k == "d") {
        item.kind = SaveItem::Kind::digital;
      } else if (k != "v") {
        throw NetlistError(
            kind.where, ".save: '" + kind.text + "' is none of v(node), i(source), d(signal), all");
      }
      cursor.expect("(", "after " + kind.text);
      item.name = node_name(cursor.take("name"));
      cursor.expect(")", "after " + kind.text + "(" + item.name);
      netlist_.saves.push_back(std::move(item));
    }
  }

  const SourceLine* find_source(const std::string& name) const {
    for (const SourceLine& source : netlist_.sources) {
      if (source.name == name) return &source;
    }
    return nullptr;
  }

  bool is_above_signal(const std::string& name) const {
    const std::size_t dot = name.rfind(".above");
    if (dot == std::string::npos || name.size() != dot + 7) return false;
    const char k = name.back();
    return k >= '0' && k <= '3' && mos_base_.count(name.substr(0, dot)) != 0;
  }

  void check_references(const Location& end) {
    if (netlist_.analyses.empty()) {
      throw NetlistError(end, "no analysis: add .op, .dc, .tran or .ac");
    }
    for (const std::string& signal : signals_) {
      if (signal.find(".above") != std::string::npos && !is_above_signal(signal) &&
          signal.find('.') != std::string::npos) {
        throw NetlistError(first_use(signal), "undefined signal '" + signal +
                                                  "': no MOS base unit instance of that name has "
                                                  "this above signal (above0 to above3)");
      }
    }
    for (const StimulusLine& stimulus : netlist_.stimuli) {
      if (signals_.count(stimulus.signal) == 0) {
        throw NetlistError(stimulus.where, "undefined signal '" + stimulus.signal +
                                               "': no logic cell is connected to it");
      }
      if (is_above_signal(stimulus.signal)) {
        throw NetlistError(stimulus.where,
                           "signal '" + stimulus.signal + "' is driven by its MOS base unit");
      }
    }
    const bool analog = netlist_.has_analog_units() || !netlist_.sources.empty();
    for (const Analysis& analysis : netlist_.analyses) {
      if (analysis.kind == Analysis::Kind::dc) {
        if (find_source(analysis.source) == nullptr) {
          throw NetlistError(analysis.where, ".dc: undefined source '" + analysis.source + "'");
        }
      }
      if ((analysis.kind == Analysis::Kind::dc || analysis.kind == Analysis::Kind::ac) && !analog) {
        throw NetlistError(analysis.where, "a DC sweep or AC analysis needs analog elements");
      }
    }
    for (const SaveItem& item : netlist_.saves) {
      if (item.kind == SaveItem::Kind::voltage && nodes_.count(item.name) == 0 &&
          item.name != "0") {
        throw NetlistError(item.where, ".save: undefined node '" + item.name + "'");
      }
      if (item.kind == SaveItem::Kind::current) {
        const SourceLine* source = find_source(item.name);
        if (source == nullptr || source->kind != analog::SourceKind::voltage) {
          throw NetlistError(item.where,
                             ".save: undefined voltage source '" + item.name + "' for i()");
        }
      }
      if (item.kind == SaveItem::Kind::digital && signals_.count(item.name) == 0) {
        throw NetlistError(item.where, ".save: undefined signal '" + item.name + "'");
      }
    }
    if (save_all_) netlist_.saves.clear();
  }

  Location first_use(const std::string& signal) const {
    for (const UnitLine& unit : netlist_.units) {
      if (std::find(unit.nodes.begin(), unit.nodes.end(), signal) != unit.nodes.end()) {
        return unit.where;
      }
    }
    return {netlist_.file.string(), 1};
  }

  Netlist netlist_;
  std::map<std::string, Location> names_;
  std::map<std::string, Location> controls_;
  std::set<std::string> nodes_;     // analog
  std::set<std::string> signals_;   // digital
  std::set<std::string> mos_base_;  // instances with above signals
  bool save_all_ = false;
};

}  // namespace

bool Netlist::has_analog_units() const {
  return std::any_of(units.begin(), units.end(),
                     [](const UnitLine& unit) { return unit.entry->kind == UnitKind::analog; });
}

bool Netlist::has_logic_cells() const {
  return std::any_of(units.begin(), units.end(),
                     [](const UnitLine& unit) { return unit.entry->kind == UnitKind::digital; });
}

Netlist parse_netlist(const std::filesystem::path& file) {
  return Parser(file).parse();
}

}  // namespace host::netlist
