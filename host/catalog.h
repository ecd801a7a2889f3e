// What the compiled design tells the kernel about each deliverable: its kind, ports,
// quantity bindings, generics, above signals and processes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace host {

enum class UnitKind { analog, digital, structural, package };

std::string_view kind_name(UnitKind kind);

// Slots of elab_funcs, as bits.
namespace slot {
inline constexpr unsigned elab_desent = 1u << 0;
inline constexpr unsigned usr_eval = 1u << 1;
inline constexpr unsigned code_suprgs = 1u << 2;
inline constexpr unsigned ac_code_suprgs = 1u << 3;
inline constexpr unsigned ams_elab_tavo = 1u << 4;
inline constexpr unsigned ams_each_iter = 1u << 5;
}  // namespace slot

enum class PortMode { terminal, in, out };

struct PortInfo {
  std::string_view name;
  PortMode mode;
};

// How the host obtains a quantity's value: across V(plus) - V(minus), a through current
// from plus to minus, a derivative d(V(plus) - V(minus))/dt, or a value the unit assigns.
// Pins are 1-based; 0 is the reference node.
enum class QuantityKind { across, through, derivative, assigned };

struct QuantityBinding {
  QuantityKind kind;
  std::int32_t plus = 0;
  std::int32_t minus = 0;
};

// A generic's value: a real, an integer, or a table of three reals, one per process corner.
enum class GenericType { real, integer, corner_table };

struct GenericInfo {
  std::string_view name;
  std::int32_t position;
  GenericType type;
  std::array<double, 3> default_value{};  // a real or integer in [0]; a table in all three
  std::int32_t request = 0;               // the usr_eval request that computes the default, or 0
  std::string_view unit = "";
};

struct CatalogEntry {
  std::string_view name;  // the plug-in's file name without suffix
  UnitKind kind;
  unsigned slots;  // the elab_funcs slots the plug-in fills
  std::vector<PortInfo> ports;
  std::int32_t generic_count;
  std::vector<QuantityBinding> quantities;
  // Per above signal, the position of the quantity it watches.
  std::vector<std::int32_t> watched;
  std::int32_t process_count;
  std::string_view summary;
  std::vector<GenericInfo> generics = {};  // the generics a user can name

  std::int32_t pin_count() const;
  const GenericInfo* generic(std::string_view generic_name) const;
};

const std::vector<CatalogEntry>& catalog();
const CatalogEntry* find_entry(std::string_view name);

}  // namespace host
