#pragma once
// The result list: one row per search result, five text cells and one integer per row.
// Every operation here runs on the window's thread; other threads go through the window's
// ControlPort.
#include <QTreeView>

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "resultlist/SortableList.h"
#include "text/Types.h"

class QFocusEvent;
class QMouseEvent;

namespace korvane {

class ResultListModel;

class ResultList : public QTreeView, public SortableList {
  Q_OBJECT

 public:
  static constexpr int kNameColumn = 0;
  static constexpr int kSizeColumn = 1;
  static constexpr int kFilesColumn = 2;
  static constexpr int kDateColumn = 3;
  static constexpr int kMagnetColumn = 4;
  static constexpr int kColumnCount = 5;

  struct ColumnSpec {
    std::u16string_view title;
    int width;  // pixels, at start
  };
  static constexpr std::array<ColumnSpec, kColumnCount> kColumns{{
      {u"名称", 250},
      {u"大小", 50},
      {u"数量", 50},
      {u"日期", 80},
      {u"地址", 250},
  }};

  explicit ResultList(QWidget* parent = nullptr);
  ~ResultList() override;

  // Appends an empty row with row value 0; its index, or -1 when the list cannot take it.
  int AppendRow();
  // A row or column that does not exist changes nothing.
  void SetCellText(int row, int column, const Text& text);
  // The whole text; empty for a row or column that does not exist.
  Text GetCellText(int row, int column) const override;
  int RowCount() const override;
  void ClearRows();
  // -1 when no row is selected.
  int SelectedRow() const;
  void SetRowValue(int row, std::intptr_t value) override;
  // 0 for a row that does not exist.
  std::intptr_t GetRowValue(int row) const;

  // Sorting.
  void SortRows(RowCompare compare, std::intptr_t param) override;
  // The header's images from an image-group block, their transparent parts in the button-face
  // colour; an empty or malformed block leaves the header without images.
  void SetHeaderImages(const Bytes& block) override;
  bool HasHeaderImages() const;
  int GetColumnImage(int column) const override;
  void SetColumnImage(int column, int image) override;
  int ColumnCount() const override { return kColumnCount; }
  // The larger of the column's contents and its header text.
  void FitColumnWidth(int column) override;

 signals:
  // A click with the left button in the item area, on a row or on empty space. The second click
  // of a double click is not one.
  void ItemAreaClicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  std::unique_ptr<ResultListModel> model_;
  bool leftPressed_ = false;
};

}  // namespace korvane
