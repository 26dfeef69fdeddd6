#include "resultlist/ResultList.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>

#include <QImage>
#include <QPixmap>

#include "resultlist/ImageGroup.h"
#include "resultlist/ResultListModel.h"
#include "resultlist/SelectionPalette.h"

namespace korvane {

ResultList::ResultList(QWidget* parent) : QTreeView(parent), model_(std::make_unique<ResultListModel>()) {
  setModel(model_.get());

  // A flat report: no tree decoration, whole-row single selection, nothing editable, rows in
  // the order they were appended.
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setExpandsOnDoubleClick(false);
  setIndentation(0);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setAlternatingRowColors(false);
  setDragEnabled(false);
  setWordWrap(false);
  setTextElideMode(Qt::ElideRight);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  // No hot-tracking: the row under the mouse is drawn like any other.
  setMouseTracking(false);
  viewport()->setAttribute(Qt::WA_Hover, false);

  QHeaderView* columns = header();
  columns->setSectionsClickable(true);
  columns->setSectionsMovable(false);
  columns->setHighlightSections(false);
  columns->setSortIndicatorShown(false);
  columns->setStretchLastSection(false);
  columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  columns->setSectionResizeMode(QHeaderView::Interactive);
  for (int column = 0; column < kColumnCount; ++column)
    columns->resizeSection(column, kColumns[static_cast<std::size_t>(column)].width);

  UpdateSelectionPalette(*this);
}

ResultList::~ResultList() {
  // The view lets go of the model before the model goes.
  setModel(nullptr);
}

int ResultList::AppendRow() { return model_->AppendRow(); }

void ResultList::SetCellText(int row, int column, const Text& text) { model_->SetCellText(row, column, text); }

Text ResultList::GetCellText(int row, int column) const { return model_->CellText(row, column); }

int ResultList::RowCount() const { return model_->rowCount(); }

void ResultList::ClearRows() { model_->ClearRows(); }

int ResultList::SelectedRow() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void ResultList::SetRowValue(int row, std::intptr_t value) { model_->SetRowValue(row, value); }

std::intptr_t ResultList::GetRowValue(int row) const { return model_->RowValue(row); }

void ResultList::SortRows(RowCompare compare, std::intptr_t param) { model_->SortRows(compare, param); }

void ResultList::SetHeaderImages(const Bytes& block) {
  std::vector<QIcon> icons;
  if (const auto strip = block.empty() ? std::nullopt : ParseImageGroup(block)) {
    const QRgb face = palette().color(QPalette::Button).rgb();
    for (const auto& pixels : strip->images) {
      QImage image(strip->imageWidth, strip->imageHeight, QImage::Format_ARGB32);
      for (int y = 0; y < strip->imageHeight; ++y) {
        for (int x = 0; x < strip->imageWidth; ++x) {
          const std::uint32_t p = pixels[static_cast<std::size_t>(y * strip->imageWidth + x)];
          image.setPixel(x, y, (p >> 24) == 0 ? face : static_cast<QRgb>(p));
        }
      }
      icons.emplace_back(QPixmap::fromImage(image));
    }
  }
  model_->SetHeaderIcons(std::move(icons));
}

bool ResultList::HasHeaderImages() const { return model_->HasHeaderIcons(); }

int ResultList::GetColumnImage(int column) const { return model_->ColumnImage(column); }

void ResultList::SetColumnImage(int column, int image) { model_->SetColumnImage(column, image); }

void ResultList::FitColumnWidth(int column) {
  if (column < 0 || column >= kColumnCount) return;
  // The tree view's own fit weighs the rows' contents and the header section's size hint.
  resizeColumnToContents(column);
}

void ResultList::mousePressEvent(QMouseEvent* event) {
  QTreeView::mousePressEvent(event);
  leftPressed_ = event->button() == Qt::LeftButton;
}

void ResultList::mouseReleaseEvent(QMouseEvent* event) {
  QTreeView::mouseReleaseEvent(event);
  const bool clicked = leftPressed_ && event->button() == Qt::LeftButton;
  leftPressed_ = false;
  if (clicked) emit ItemAreaClicked();
}

void ResultList::mouseDoubleClickEvent(QMouseEvent* event) {
  // The tree view replays the press when the second click lands on another row; that is still
  // the second click of a double click.
  QTreeView::mouseDoubleClickEvent(event);
  leftPressed_ = false;
}

void ResultList::focusInEvent(QFocusEvent* event) {
  QTreeView::focusInEvent(event);
  UpdateSelectionPalette(*this);
}

void ResultList::focusOutEvent(QFocusEvent* event) {
  QTreeView::focusOutEvent(event);
  UpdateSelectionPalette(*this);
}

}  // namespace korvane
