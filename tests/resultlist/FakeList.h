#pragma once
// An in-memory report list for sorting tests.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "resultlist/SortableList.h"

namespace korvane::testing {

class FakeList : public SortableList {
 public:
  static constexpr int kColumns = 5;
  struct Row {
    std::array<Text, kColumns> cells;
    std::intptr_t value = 0;
    bool selected = false;
  };

  std::vector<Row> rows;
  std::array<int, kColumns> columnImages{-1, -1, -1, -1, -1};
  std::vector<Bytes> headerImageCalls;
  std::vector<int> fitted;

  void AddDates(std::initializer_list<const char*> dates) {
    for (const char* d : dates) {
      Row row;
      row.cells = {std::string("name ") + d, "1 GB", "1", d, std::string("magnet:?xt=urn:btih:") + d};
      rows.push_back(row);
    }
  }
  std::vector<Text> Column(int c) const {
    std::vector<Text> out;
    for (const auto& r : rows) out.push_back(r.cells[static_cast<std::size_t>(c)]);
    return out;
  }

  int RowCount() const override { return static_cast<int>(rows.size()); }
  Text GetCellText(int row, int column) const override {
    if (row < 0 || row >= RowCount() || column < 0 || column >= kColumns) return {};
    return rows[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
  }
  void SetRowValue(int row, std::intptr_t value) override {
    if (row >= 0 && row < RowCount()) rows[static_cast<std::size_t>(row)].value = value;
  }
  void SortRows(RowCompare compare, std::intptr_t param) override {
    std::stable_sort(rows.begin(), rows.end(),
                     [&](const Row& a, const Row& b) { return compare(a.value, b.value, param) < 0; });
  }
  void SetHeaderImages(const Bytes& block) override { headerImageCalls.push_back(block); }
  int GetColumnImage(int column) const override { return columnImages[static_cast<std::size_t>(column)]; }
  void SetColumnImage(int column, int image) override { columnImages[static_cast<std::size_t>(column)] = image; }
  int ColumnCount() const override { return kColumns; }
  void FitColumnWidth(int column) override { fitted.push_back(column); }
};

}  // namespace korvane::testing
