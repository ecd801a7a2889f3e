// Copies of an instance's records, and the field-by-field writes between two copies.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/design.h"

namespace test {

class RecordSnapshot {
 public:
  explicit RecordSnapshot(const host::Instance& instance);

  // The fields that differ from this snapshot now, as "record.field = value", in record order;
  // bytes outside the named fields show as "record+0xNN changed".
  std::vector<std::string> writes_since() const;

 private:
  enum class Type { int32, int64, real, flags, pointer, function };
  struct Field {
    const char* name;
    std::size_t offset;
    std::size_t size;
    Type type;
  };
  struct Copy {
    std::string name;
    const unsigned char* address;
    std::vector<unsigned char> bytes;
    const std::vector<Field>* fields;
  };

  void add(const void* record, std::size_t size, const std::vector<Field>& fields);
  static std::string format(const Field& field, const unsigned char* bytes);

  std::vector<Copy> copies_;
  friend struct Layouts;
};

}  // namespace test
