#pragma once
// The rows behind ResultList. Cells keep the code-page-936 bytes exactly as given; the view sees
// them converted to UTF-16 only for display.
#include <QAbstractTableModel>

#include <array>
#include <cstdint>
#include <vector>

#include "resultlist/ResultList.h"
#include "text/Types.h"

namespace korvane {

class ResultListModel final : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  int AppendRow();
  void SetCellText(int row, int column, const Text& text);
  Text CellText(int row, int column) const;
  void ClearRows();
  void SetRowValue(int row, std::intptr_t value);
  std::intptr_t RowValue(int row) const;

 private:
  struct Row {
    std::array<Text, ResultList::kColumnCount> cells;
    std::intptr_t value = 0;
  };

  bool HasRow(int row) const { return row >= 0 && static_cast<std::size_t>(row) < rows_.size(); }
  static bool HasColumn(int column) { return column >= 0 && column < ResultList::kColumnCount; }

  std::vector<Row> rows_;
};

}  // namespace korvane
