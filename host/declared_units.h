// The units a design declares and whose subprograms the plug-ins call for generic defaults:
// the process data (corner lookup, corner and resistance parameters) bound at declarations
// 6 to 10, and the derating object bound at declaration 2.
#pragma once

#include "frame/export_tables.h"
#include "frame/records.h"
#include "host/memory.h"

namespace host {

inline constexpr int declaration_count = 11;
inline constexpr int derating_declaration = 2;
inline constexpr int derating_object = 27;

class DeclaredUnits {
 public:
  // Builds the declaration records in memory; temperature is the derating value.
  DeclaredUnits(Memory& memory, double temperature);

  // Fills a design's declaration table (declaration_count entries).
  void bind(declaration_entry* table) const;

  generic_record* derating() const { return derating_; }

 private:
  declaration_record* process_data_ = nullptr;
  declaration_record* derating_unit_ = nullptr;
  generic_record* derating_ = nullptr;
};

}  // namespace host
