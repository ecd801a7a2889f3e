#include <algorithm>

#include "host/analog/sparse_matrix.h"

namespace host::analog {

CompressedPattern compress(std::int32_t size,
                           std::span<const std::pair<std::int32_t, std::int32_t>> pattern) {
  std::vector<std::pair<std::int32_t, std::int32_t>> by_column;
  by_column.reserve(pattern.size());
  for (auto [row, column] : pattern) by_column.emplace_back(column, row);
  std::sort(by_column.begin(), by_column.end());
  by_column.erase(std::unique(by_column.begin(), by_column.end()), by_column.end());

  CompressedPattern compressed;
  compressed.column_starts.assign(static_cast<std::size_t>(size) + 1, 0);
  compressed.rows.reserve(by_column.size());
  for (auto [column, row] : by_column) {
    ++compressed.column_starts[static_cast<std::size_t>(column) + 1];
    compressed.rows.push_back(row);
  }
  for (std::size_t c = 0; c < static_cast<std::size_t>(size); ++c) {
    compressed.column_starts[c + 1] += compressed.column_starts[c];
  }
  return compressed;
}

}  // namespace host::analog
