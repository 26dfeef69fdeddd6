#pragma once
// The rows behind ResultList. Cells keep the code-page-936 bytes exactly as given; the view sees
// them converted to UTF-16 only for display.
#include <QAbstractTableModel>
#include <QIcon>

#include <array>
#include <cstdint>
#include <vector>

#include "resultlist/ResultList.h"
#include "resultlist/SortableList.h"
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
  // Stable; rows keep their cells and values, and selections follow their rows.
  void SortRows(RowCompare compare, std::intptr_t param);

  // The header's image list (empty: none) and the image each column's header shows (-1: none).
  void SetHeaderIcons(std::vector<QIcon> icons);
  bool HasHeaderIcons() const { return !headerIcons_.empty(); }
  int ColumnImage(int column) const;
  void SetColumnImage(int column, int image);

 private:
  struct Row {
    std::array<Text, ResultList::kColumnCount> cells;
    std::intptr_t value = 0;
  };

  bool HasRow(int row) const { return row >= 0 && static_cast<std::size_t>(row) < rows_.size(); }
  static bool HasColumn(int column) { return column >= 0 && column < ResultList::kColumnCount; }

  std::vector<Row> rows_;
  std::vector<QIcon> headerIcons_;
  std::array<int, ResultList::kColumnCount> columnImages_{-1, -1, -1, -1, -1};
};

}  // namespace korvane
