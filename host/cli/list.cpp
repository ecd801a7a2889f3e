#include "host/cli/list.h"

#include <cstdio>
#include <ostream>
#include <string>

#include "host/catalog.h"
#include "host/design.h"
#include "host/elaborate.h"
#include "host/kernel.h"

namespace host::cli {

namespace {

struct Row {
  std::string deliverable, kind, slots, states, flagged, result;
};

Row elaborate_one(Loader& loader, const CatalogEntry& entry) {
  Row row{std::string(entry.name), std::string(kind_name(entry.kind)), "-", "-", "-", "ok"};
  try {
    Design design(loader);
    Instance& instance = design.add("U1", entry.name);
    row.slots = describe_slots(filled_slots(*instance.plugin->table));
    elaborate(instance);
    if (entry.kind != UnitKind::package) {
      row.states = std::to_string(instance.record->state_count);
      int flagged = 0;
      for (std::int32_t n = 1; n <= entry.pin_count(); ++n) {
        if ((instance.pin(n)->flags & pin_no_contribution) != 0) ++flagged;
      }
      row.flagged = std::to_string(flagged);
    }
    for (const Report& report : kernel().reports) {
      row.result = (row.result == "ok" ? "reported: " : row.result + "; ") + report.text;
    }
  } catch (const std::exception& error) {
    row.result = std::string("FAILED: ") + error.what();
  }
  return row;
}

}  // namespace

int list_deliverables(const std::filesystem::path& plugin_dir, std::ostream& out) {
  Loader loader(plugin_dir);
  int failed = 0;
  char line[256];
  std::snprintf(line, sizeof line, "%-32s %-10s %-12s %-6s %-7s %s\n", "deliverable", "kind",
                "slots", "states", "flagged", "result");
  out << line;
  for (const CatalogEntry& entry : catalog()) {
    const Row row = elaborate_one(loader, entry);
    if (row.result != "ok") ++failed;
    std::snprintf(line, sizeof line, "%-32s %-10s %-12s %-6s %-7s ", row.deliverable.c_str(),
                  row.kind.c_str(), row.slots.c_str(), row.states.c_str(), row.flagged.c_str());
    out << line << row.result << '\n';
  }
  out << catalog().size() - static_cast<std::size_t>(failed) << " of " << catalog().size()
      << " deliverables elaborated from " << plugin_dir.string() << '\n';
  return failed;
}

}  // namespace host::cli
