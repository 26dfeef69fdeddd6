#include "resultlist/ResultListModel.h"

#include <algorithm>
#include <climits>
#include <numeric>
#include <new>
#include <utility>

#include "resultlist/WidgetText.h"

namespace korvane {

int ResultListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ResultList::kColumnCount;
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !HasRow(index.row()) || !HasColumn(index.column())) return {};
  switch (role) {
    case Qt::DisplayRole:
      return ToWidgetText(rows_[static_cast<std::size_t>(index.row())].cells[static_cast<std::size_t>(index.column())]);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
      return {};
  }
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || !HasColumn(section)) return {};
  switch (role) {
    case Qt::DisplayRole: {
      const std::u16string_view title = ResultList::kColumns[static_cast<std::size_t>(section)].title;
      return QString::fromUtf16(title.data(), static_cast<qsizetype>(title.size()));
    }
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::DecorationRole: {
      const int image = columnImages_[static_cast<std::size_t>(section)];
      if (image < 0 || static_cast<std::size_t>(image) >= headerIcons_.size()) return {};
      return headerIcons_[static_cast<std::size_t>(image)];
    }
    default:
      return {};
  }
}

Qt::ItemFlags ResultListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  // Selectable and nothing more: no editing, no check boxes, no dragging.
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

int ResultListModel::AppendRow() {
  if (rows_.size() >= static_cast<std::size_t>(INT_MAX)) return -1;
  const int row = static_cast<int>(rows_.size());
  try {
    // Grow first, so that a failed allocation leaves the model and its views untouched.
    if (rows_.size() == rows_.capacity()) rows_.reserve(rows_.capacity() < 64 ? 64 : rows_.capacity() * 2);
  } catch (const std::bad_alloc&) {
    return -1;
  }
  beginInsertRows({}, row, row);
  rows_.emplace_back();
  endInsertRows();
  return row;
}

void ResultListModel::SetCellText(int row, int column, const Text& text) {
  if (!HasRow(row) || !HasColumn(column)) return;
  Text& cell = rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
  if (cell == text) return;
  try {
    cell = text;
  } catch (const std::bad_alloc&) {
    return;  // the cell keeps its old text
  }
  const QModelIndex at = index(row, column);
  emit dataChanged(at, at, {Qt::DisplayRole});
}

Text ResultListModel::CellText(int row, int column) const {
  if (!HasRow(row) || !HasColumn(column)) return {};
  return rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
}

void ResultListModel::ClearRows() {
  beginResetModel();
  std::vector<Row>().swap(rows_);
  endResetModel();
}

void ResultListModel::SetRowValue(int row, std::intptr_t value) {
  if (HasRow(row)) rows_[static_cast<std::size_t>(row)].value = value;
}

std::intptr_t ResultListModel::RowValue(int row) const {
  return HasRow(row) ? rows_[static_cast<std::size_t>(row)].value : 0;
}

void ResultListModel::SortRows(RowCompare compare, std::intptr_t param) {
  if (rows_.size() < 2) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<std::size_t> order(rows_.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return compare(rows_[a].value, rows_[b].value, param) < 0;
  });
  std::vector<Row> sorted;
  sorted.reserve(rows_.size());
  std::vector<int> newRowOf(rows_.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    newRowOf[order[i]] = static_cast<int>(i);
    sorted.push_back(std::move(rows_[order[i]]));
  }
  rows_ = std::move(sorted);
  // The selection and every other kept index move with their rows.
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& index : before) {
    after.push_back(index.isValid() && HasRow(index.row())
                        ? this->index(newRowOf[static_cast<std::size_t>(index.row())], index.column())
                        : QModelIndex());
  }
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ResultListModel::SetHeaderIcons(std::vector<QIcon> icons) {
  headerIcons_ = std::move(icons);
  emit headerDataChanged(Qt::Horizontal, 0, ResultList::kColumnCount - 1);
}

int ResultListModel::ColumnImage(int column) const {
  return HasColumn(column) ? columnImages_[static_cast<std::size_t>(column)] : -1;
}

void ResultListModel::SetColumnImage(int column, int image) {
  if (!HasColumn(column)) return;
  columnImages_[static_cast<std::size_t>(column)] = image < 0 ? -1 : image;
  emit headerDataChanged(Qt::Horizontal, column, column);
}

}  // namespace korvane
