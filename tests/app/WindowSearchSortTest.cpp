// The window's search and sort as a user drives them: clicks on the button and on the headers.
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/MainWindow.h"
#include "app/WindowControlPort.h"
#include "app/WindowCalls.h"
#include "resultlist/ColumnSort.h"
#include "resultlist/SortArrowImages.h"
#include "resultlist/ResultList.h"
#include "resultlist/WidgetText.h"
#include "sample-site/SampleSite.h"
#include "support/ListedRows.h"
#include "sample-site/SitePages.h"
#include "search/TextCodecs.h"

namespace korvane {
namespace {

bool NoSkin(int) { return true; }

std::vector<ResultRow> ListRows(const ResultList& list) {
  std::vector<ResultRow> rows;
  for (int r = 0; r < list.RowCount(); ++r) {
    rows.push_back({list.GetCellText(r, 0), list.GetCellText(r, 1), list.GetCellText(r, 2), list.GetCellText(r, 3),
                    list.GetCellText(r, 4)});
  }
  return rows;
}

class WindowSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(site.Start(0)) << site.Error();
    window = std::make_unique<MainWindow>(NoSkin, site.BaseAddress());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
  void Search(const std::string& utf8Keyword) {
    window->KeywordBox().setText(QString::fromStdString(utf8Keyword));
    QTest::mouseClick(&window->SearchButton(), Qt::LeftButton);
  }

  site::SampleSite site;
  std::unique_ptr<MainWindow> window;
};

TEST_F(WindowSearch, ClickListsTheRowsOfTheVisitedPages) {
  const std::string keyword = "\xE9\x80\x9F\xE5\xBA\xA6\xE4\xB8\x8E\xE6\xBF\x80\xE6\x83\x85" "7";  // 速度与激情7
  const auto expected = testing::ListedRows(keyword, {1, 2});
  QTest::mouseClick(&window->SearchButton(), Qt::LeftButton);  // the box starts with this keyword
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->List().RowCount() == static_cast<int>(expected.size()); }, 10'000));
  EXPECT_EQ(ListRows(window->List()), expected);
  EXPECT_EQ(site.Requests().size(), 3u);
}

TEST_F(WindowSearch, SecondClickLeavesOnlyTheNewerSearchsRows) {
  // The first search's only page is held back; by the time it would come, a newer search has
  // emptied the list and filled it with its own rows.
  Search("slow#pages=1#delay=1500@1");
  ASSERT_TRUE(QTest::qWaitFor([&] { return site.Requests().size() == 2; }, 10'000));
  Search("kw#pages=1");
  const auto expected = testing::ListedRows("kw#pages=1", {1});
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->List().RowCount() == static_cast<int>(expected.size()); }, 10'000));
  QTest::qWait(2000);  // past the held-back page
  EXPECT_EQ(ListRows(window->List()), expected);
}

// Many searches in quick succession with sorts between them: when the last one is done, the list
// holds its rows and nothing else, each row whole.
TEST_F(WindowSearch, RapidSearchesWithSortsLeaveOnlyTheLastSearchsWholeRows) {
  const int kSearches = 100;
  for (int i = 0; i < kSearches; ++i) {
    Search("kw" + std::to_string(i) + "#pages=2#rows=5");
    if (i % 3 == 0) QTest::mouseClick(window->List().header()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::qWait(i % 10);  // let some of them get under way
  }
  const std::string last = "kw" + std::to_string(kSearches - 1) + "#pages=2#rows=5";
  const auto expected = testing::ListedRows(last, {1, 2});
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->List().RowCount() == static_cast<int>(expected.size()); }, 20'000));
  QTest::qWait(300);  // anything still on its way from an older search would arrive now
  EXPECT_EQ(ListRows(window->List()), expected);
}

TEST_F(WindowSearch, ReplacedSearchsPortChangesNothing) {
  bool wanted = true;
  WindowControlPort port(std::make_shared<WindowCalls>(), window->List(), window->KeywordBox(), [&] { return wanted; });
  EXPECT_EQ(port.AppendResultRow({"a", "b", "c", "d", "e"}), 0);
  wanted = false;
  EXPECT_EQ(port.AppendResultRow({"a", "b", "c", "d", "e"}), -1);
  EXPECT_EQ(port.AppendRow(), -1);
  port.SetCellText(0, 0, "changed");
  port.ClearRows();
  EXPECT_EQ(window->List().RowCount(), 1);
  EXPECT_EQ(window->List().GetCellText(0, 0), "a");
}

class WindowSort : public ::testing::Test {
 protected:
  void SetUp() override {
    ProgramSortState() = SortState{};
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  void AddRow(const Text& date) {
    ResultList& list = window.List();
    const int row = list.AppendRow();
    list.SetCellText(row, ResultList::kNameColumn, "name " + date);
    list.SetCellText(row, ResultList::kDateColumn, date);
    list.SetCellText(row, ResultList::kMagnetColumn, "magnet:?xt=urn:btih:" + date);
  }
  void ClickHeader(int column) {
    QHeaderView* header = window.List().header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
  }
  std::vector<Text> Dates() const {
    std::vector<Text> dates;
    for (int r = 0; r < window.List().RowCount(); ++r) dates.push_back(window.List().GetCellText(r, ResultList::kDateColumn));
    return dates;
  }

  MainWindow window{NoSkin};
};

TEST_F(WindowSort, AnyHeaderSortsByDateAndFlipsWithAnArrow) {
  for (const char* d : {"2015-10-01", "2015-04-03", "", "2014-12-31"}) AddRow(d);
  ResultList& list = window.List();
  list.selectionModel()->select(list.model()->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

  ClickHeader(ResultList::kNameColumn);
  EXPECT_EQ(Dates(), (std::vector<Text>{"", "2014-12-31", "2015-04-03", "2015-10-01"}));
  EXPECT_TRUE(list.HasHeaderImages());
  EXPECT_EQ(list.GetColumnImage(ResultList::kDateColumn), 1);
  EXPECT_EQ(list.GetColumnImage(ResultList::kNameColumn), -1);
  EXPECT_FALSE(list.model()->headerData(ResultList::kDateColumn, Qt::Horizontal, Qt::DecorationRole).isNull());
  // The selection went with its row, and each row kept its cells.
  EXPECT_EQ(list.SelectedRow(), 2);
  for (int r = 0; r < list.RowCount(); ++r) {
    EXPECT_EQ(list.GetCellText(r, ResultList::kMagnetColumn), "magnet:?xt=urn:btih:" + list.GetCellText(r, 3));
  }

  ClickHeader(ResultList::kMagnetColumn);
  EXPECT_EQ(Dates(), (std::vector<Text>{"2015-10-01", "2015-04-03", "2014-12-31", ""}));
  EXPECT_EQ(list.GetColumnImage(ResultList::kDateColumn), 0);

  // Rows added after a sort stand at the end until the next click.
  AddRow("2000-01-01");
  EXPECT_EQ(Dates().back(), "2000-01-01");
}

TEST_F(WindowSort, MalformedOrEmptyHeaderImagesLeaveNone) {
  ResultList& list = window.List();
  list.SetHeaderImages(SortArrowImages());
  EXPECT_TRUE(list.HasHeaderImages());
  Bytes bad = SortArrowImages();
  bad.resize(100);
  list.SetHeaderImages(bad);
  EXPECT_FALSE(list.HasHeaderImages());
  list.SetHeaderImages(SortArrowImages());
  list.SetHeaderImages({});
  EXPECT_FALSE(list.HasHeaderImages());
  list.SetColumnImage(3, 1);
  EXPECT_TRUE(list.model()->headerData(3, Qt::Horizontal, Qt::DecorationRole).isNull());
}

TEST_F(WindowSort, FitColumnWidthTakesTheLargerOfContentsAndHeader) {
  ResultList& list = window.List();
  AddRow("2015-04-03");
  list.SetCellText(0, ResultList::kNameColumn, Text(200, 'W'));
  SortListByColumn(list, ResultList::kDateColumn, kSortText, true);
  EXPECT_GT(list.columnWidth(ResultList::kNameColumn), 250);   // wider than it started, for its contents
  EXPECT_LT(list.columnWidth(ResultList::kFilesColumn), 50);   // narrower: an empty column, a short title
  EXPECT_GE(list.columnWidth(ResultList::kFilesColumn), list.header()->sectionSizeHint(ResultList::kFilesColumn));
}

}  // namespace
}  // namespace korvane
