#pragma once
// What sorting needs of a report-style list. The window's result list implements it on its own
// thread; tests implement it in memory.
#include <cstdint>

#include "text/Types.h"

namespace korvane {

// Compares two rows by their row values: negative when the first goes first.
using RowCompare = int (*)(std::intptr_t value1, std::intptr_t value2, std::intptr_t param);

class SortableList {
 public:
  virtual ~SortableList() = default;
  virtual int RowCount() const = 0;
  virtual Text GetCellText(int row, int column) const = 0;
  virtual void SetRowValue(int row, std::intptr_t value) = 0;
  // Reorders the rows by `compare`; each row keeps its cells, its row value and its selection.
  virtual void SortRows(RowCompare compare, std::intptr_t param) = 0;
  // Sets the header's image list from an image-group block; an empty block removes it.
  virtual void SetHeaderImages(const Bytes& block) = 0;
  // The image shown in the column's header, -1 for none.
  virtual int GetColumnImage(int column) const = 0;
  virtual void SetColumnImage(int column, int image) = 0;
  virtual int ColumnCount() const = 0;
  // Sizes the column to the larger of its contents and its header text.
  virtual void FitColumnWidth(int column) = 0;
};

}  // namespace korvane
