#include "resultlist/ResultList.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace korvane {
namespace {

// "速度与激情" in code page 936.
const Text kGbkTitle = "\xCB\xD9\xB6\xC8\xD3\xEB\xBC\xA4\xC7\xE9";

class ResultListTest : public testing::Test {
 public:
  void SetUp() override {
    list_.resize(576, 256);
    list_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list_));
  }

  void AddRows(int count) {
    for (int i = 0; i < count; ++i) {
      const int row = list_.AppendRow();
      for (int column = 0; column < ResultList::kColumnCount; ++column)
        list_.SetCellText(row, column, "r" + std::to_string(row) + "c" + std::to_string(column));
    }
  }

  QPoint RowPoint(int row) const { return list_.visualRect(list_.model()->index(row, 0)).center(); }
  QPoint EmptyPoint() const { return {20, list_.viewport()->height() - 5}; }

  // A double click as the platform delivers it (press, release, double click, release), its two
  // clicks at two points of the viewport.
  void DoubleClick(QPoint first, QPoint second) {
    static int timestamp = 1'000'000'000;
    timestamp += 10 * QApplication::doubleClickInterval();
    QWindow* window = list_.windowHandle();
    const auto send = [&](QPoint at, Qt::MouseButtons state, QEvent::Type type) {
      const QPoint local = list_.viewport()->mapTo(&list_, at);
      qt_handleMouseEvent(window, local, window->mapToGlobal(local), state, Qt::LeftButton, type, {}, ++timestamp);
    };
    send(first, Qt::LeftButton, QEvent::MouseButtonPress);
    send(first, Qt::NoButton, QEvent::MouseButtonRelease);
    send(second, Qt::LeftButton, QEvent::MouseButtonPress);
    send(second, Qt::NoButton, QEvent::MouseButtonRelease);
    QCoreApplication::processEvents();
  }
  void DoubleClick(QPoint at) { DoubleClick(at, at); }

  ResultList list_;
};

TEST_F(ResultListTest, AppendedRowsAreEmptyUnselectedWithValueZero) {
  EXPECT_EQ(list_.RowCount(), 0);
  EXPECT_EQ(list_.SelectedRow(), -1);
  for (int expected = 0; expected < 3; ++expected) EXPECT_EQ(list_.AppendRow(), expected);
  EXPECT_EQ(list_.RowCount(), 3);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(list_.GetRowValue(row), 0);
    for (int column = 0; column < ResultList::kColumnCount; ++column) EXPECT_EQ(list_.GetCellText(row, column), "");
  }
  EXPECT_EQ(list_.SelectedRow(), -1);
}

TEST_F(ResultListTest, CellsOutsideTheListAreNeitherWrittenNorRead) {
  AddRows(2);
  struct Case {
    int row, column;
  };
  for (const Case c : {Case{2, 0}, Case{99, 1}, Case{-1, 0}, Case{0, 5}, Case{0, -1}, Case{-1, -1}}) {
    list_.SetCellText(c.row, c.column, "x");
    EXPECT_EQ(list_.GetCellText(c.row, c.column), "") << c.row << "," << c.column;
  }
  EXPECT_EQ(list_.RowCount(), 2);
  for (int row = 0; row < 2; ++row)
    for (int column = 0; column < ResultList::kColumnCount; ++column)
      EXPECT_EQ(list_.GetCellText(row, column), "r" + std::to_string(row) + "c" + std::to_string(column));
}

TEST_F(ResultListTest, CellsKeepTheirBytesWholeAndShowAsUnicode) {
  const int row = list_.AppendRow();
  struct Case {
    const char* what;
    Text text;
  };
  const Case cases[] = {
      {"long text", std::string(3000, 'a') + kGbkTitle + std::string(3000, 'b')},
      {"zero-free odd bytes", "\x81\x20\xFF"},  // not valid 936: kept as given all the same
      {"empty after text", ""},
  };
  for (const Case& c : cases) {
    list_.SetCellText(row, ResultList::kNameColumn, c.text);
    EXPECT_EQ(list_.GetCellText(row, ResultList::kNameColumn), c.text) << c.what;
  }
  list_.SetCellText(row, ResultList::kNameColumn, kGbkTitle + "7");
  EXPECT_EQ(list_.model()->index(row, ResultList::kNameColumn).data().toString(), QStringLiteral("速度与激情7"));
}

TEST_F(ResultListTest, RowValuesBelongToTheirRows) {
  AddRows(3);
  list_.SetRowValue(1, 42);
  list_.SetRowValue(2, -7);
  list_.SetRowValue(3, 99);  // no such row
  EXPECT_EQ(list_.GetRowValue(0), 0);
  EXPECT_EQ(list_.GetRowValue(1), 42);
  EXPECT_EQ(list_.GetRowValue(2), -7);
  EXPECT_EQ(list_.GetRowValue(3), 0);
  EXPECT_EQ(list_.GetRowValue(-1), 0);
}

TEST_F(ResultListTest, ClearingRemovesRowsAndSelection) {
  AddRows(4);
  QTest::mouseClick(list_.viewport(), Qt::LeftButton, {}, RowPoint(2));
  ASSERT_EQ(list_.SelectedRow(), 2);
  list_.ClearRows();
  EXPECT_EQ(list_.RowCount(), 0);
  EXPECT_EQ(list_.SelectedRow(), -1);
  EXPECT_EQ(list_.GetCellText(0, 0), "");
  EXPECT_EQ(list_.AppendRow(), 0);
  EXPECT_EQ(list_.GetCellText(0, 0), "");
}

TEST_F(ResultListTest, AppendingKeepsTheSelection) {
  AddRows(3);
  QTest::mouseClick(list_.viewport(), Qt::LeftButton, {}, RowPoint(1));
  AddRows(2);
  EXPECT_EQ(list_.SelectedRow(), 1);
}

TEST_F(ResultListTest, ColumnsHaveTheirTitlesWidthsAndLeftAlignment) {
  struct Column {
    QString title;
    int width;
  };
  const Column expected[] = {{QStringLiteral("名称"), 250},
                             {QStringLiteral("大小"), 50},
                             {QStringLiteral("数量"), 50},
                             {QStringLiteral("日期"), 80},
                             {QStringLiteral("地址"), 250}};
  ASSERT_EQ(list_.model()->columnCount(), 5);
  for (int column = 0; column < 5; ++column) {
    EXPECT_EQ(list_.model()->headerData(column, Qt::Horizontal).toString(), expected[column].title);
    EXPECT_EQ(list_.columnWidth(column), expected[column].width) << column;
    const auto alignment = list_.model()->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_TRUE(alignment & Qt::AlignLeft) << column;
  }
  AddRows(1);
  for (int column = 0; column < 5; ++column) {
    const auto alignment = list_.model()->index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_TRUE(alignment & Qt::AlignLeft) << column;
  }
  // 680 pixels of columns in a 576-pixel list: the list scrolls sideways.
  EXPECT_GT(list_.horizontalScrollBar()->maximum(), 0);
}

TEST_F(ResultListTest, ReportWithoutEditingSortingOrCheckBoxes) {
  AddRows(3);
  EXPECT_FALSE(list_.isHeaderHidden());
  EXPECT_TRUE(list_.header()->sectionsClickable());
  EXPECT_FALSE(list_.header()->sectionsMovable());
  EXPECT_FALSE(list_.isSortingEnabled());
  EXPECT_FALSE(list_.rootIsDecorated());
  EXPECT_FALSE(list_.hasMouseTracking());
  EXPECT_EQ(list_.editTriggers(), QAbstractItemView::NoEditTriggers);
  const Qt::ItemFlags flags = list_.model()->index(0, 0).flags();
  EXPECT_FALSE(flags & Qt::ItemIsEditable);
  EXPECT_FALSE(flags & Qt::ItemIsUserCheckable);
  EXPECT_FALSE(flags & Qt::ItemIsDragEnabled);
  EXPECT_FALSE(list_.model()->index(0, 0).data(Qt::CheckStateRole).isValid());
  EXPECT_FALSE(list_.model()->index(0, 0).data(Qt::DecorationRole).isValid());

  // Double clicks and F2 open no editor; a header click does not reorder the rows.
  DoubleClick(RowPoint(0));
  QTest::keyClick(&list_, Qt::Key_F2);
  EXPECT_TRUE(list_.findChildren<QLineEdit*>().isEmpty());
  list_.SetCellText(0, 3, "9");
  list_.SetCellText(2, 3, "0");
  QTest::mouseClick(list_.header()->viewport(), Qt::LeftButton, {},
                    QPoint(list_.header()->sectionViewportPosition(3) + 10, list_.header()->height() / 2));
  EXPECT_EQ(list_.GetCellText(0, 3), "9");
  EXPECT_EQ(list_.GetCellText(2, 3), "0");
}

TEST_F(ResultListTest, WholeRowSingleSelection) {
  AddRows(3);
  QTest::mouseClick(list_.viewport(), Qt::LeftButton, {}, RowPoint(0));
  QTest::mouseClick(list_.viewport(), Qt::LeftButton, Qt::ShiftModifier, RowPoint(2));
  EXPECT_EQ(list_.SelectedRow(), 2);
  QTest::mouseClick(list_.viewport(), Qt::LeftButton, Qt::ControlModifier, RowPoint(1));
  const QModelIndexList selected = list_.selectionModel()->selectedIndexes();
  ASSERT_EQ(selected.size(), ResultList::kColumnCount);  // one whole row
  for (const QModelIndex& cell : selected) EXPECT_EQ(cell.row(), 1);
  EXPECT_EQ(list_.SelectedRow(), 1);
}

// What each gesture in the list raises, and which row it leaves selected (row 1 selected first).
TEST_F(ResultListTest, OnlyLeftClicksInTheItemAreaRaiseTheClick) {
  struct Case {
    const char* gesture;
    std::function<void(ResultListTest&)> act;
    int clicks;
    int selectedAfter;
  };
  const Case cases[] = {
      {"left click on a row",
       [](ResultListTest& t) { QTest::mouseClick(t.list_.viewport(), Qt::LeftButton, {}, t.RowPoint(2)); }, 1, 2},
      {"left click on empty space",
       [](ResultListTest& t) { QTest::mouseClick(t.list_.viewport(), Qt::LeftButton, {}, t.EmptyPoint()); }, 1, -1},
      {"double click on a row", [](ResultListTest& t) { t.DoubleClick(t.RowPoint(2)); }, 1, 2},
      {"double click on empty space", [](ResultListTest& t) { t.DoubleClick(t.EmptyPoint()); }, 1, -1},
      {"double click whose second click is on the next row",
       [](ResultListTest& t) {
         const QRect row = t.list_.visualRect(t.list_.model()->index(1, 0));
         t.DoubleClick({row.center().x(), row.bottom() - 1}, {row.center().x(), row.bottom() + 2});
       },
       1, 2},
      {"right click on a row",
       [](ResultListTest& t) { QTest::mouseClick(t.list_.viewport(), Qt::RightButton, {}, t.RowPoint(2)); }, 0, 2},
      {"arrow key", [](ResultListTest& t) { QTest::keyClick(&t.list_, Qt::Key_Down); }, 0, 2},
      {"Enter", [](ResultListTest& t) { QTest::keyClick(&t.list_, Qt::Key_Return); }, 0, 1},
      {"header click",
       [](ResultListTest& t) {
         QTest::mouseClick(t.list_.header()->viewport(), Qt::LeftButton, {}, QPoint(10, t.list_.header()->height() / 2));
       },
       0, 1},
  };
  AddRows(3);
  for (const Case& c : cases) {
    list_.setFocus();
    list_.selectionModel()->setCurrentIndex(list_.model()->index(1, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QSignalSpy clicks(&list_, &ResultList::ItemAreaClicked);
    c.act(*this);
    EXPECT_EQ(clicks.count(), c.clicks) << c.gesture;
    EXPECT_EQ(list_.SelectedRow(), c.selectedAfter) << c.gesture;
  }
}

TEST_F(ResultListTest, ClickSeesTheRowItSelected) {
  AddRows(3);
  int seen = -2;
  QObject::connect(&list_, &ResultList::ItemAreaClicked, [&] { seen = list_.SelectedRow(); });
  QTest::mouseClick(list_.viewport(), Qt::LeftButton, {}, RowPoint(1));
  EXPECT_EQ(seen, 1);
}

// The share of a row's pixels drawn in the highlight colour (the style may shade it a little).
double HighlightShare(ResultList& list, int row) {
  const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
  const QRect rect = list.visualRect(list.model()->index(row, 0)).adjusted(2, 2, -2, -2);
  const QImage image = list.viewport()->grab(rect).toImage();
  int hits = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      hits += std::abs(pixel.red() - highlight.red()) + std::abs(pixel.green() - highlight.green()) +
                  std::abs(pixel.blue() - highlight.blue()) < 12;
    }
  return static_cast<double>(hits) / (image.width() * image.height());
}

TEST_F(ResultListTest, SelectionShowsOnlyWithFocus) {
  QWidget other;
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
  AddRows(2);
  list_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&list_));
  QTest::mouseClick(list_.viewport(), Qt::LeftButton, {}, RowPoint(0));
  list_.setFocus();
  ASSERT_TRUE(list_.hasFocus());
  EXPECT_GT(HighlightShare(list_, 0), 0.5);

  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_FALSE(list_.hasFocus());
  EXPECT_EQ(list_.SelectedRow(), 0);
  EXPECT_EQ(HighlightShare(list_, 0), 0.0);
}

}  // namespace
}  // namespace korvane
