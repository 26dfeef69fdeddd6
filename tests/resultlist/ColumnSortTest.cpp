#include "resultlist/ColumnSort.h"

#include <gtest/gtest.h>

#include "FakeList.h"
#include "resultlist/SortArrowImages.h"

namespace korvane {
namespace {

using testing::FakeList;
using V = std::vector<Text>;

class ColumnSort : public ::testing::Test {
 protected:
  void SetUp() override { ProgramSortState() = SortState{}; }
  FakeList list;
};

TEST_F(ColumnSort, FirstSortAscendingWithDownArrowThenFlips) {
  list.AddDates({"2015-10-01", "2015-04-03", "", "2014-12-31"});
  list.rows[1].selected = true;  // 2015-04-03
  SortListByColumn(list, 3, kSortText);
  EXPECT_EQ(list.Column(3), (V{"", "2014-12-31", "2015-04-03", "2015-10-01"}));
  EXPECT_EQ(list.columnImages[3], 1);
  EXPECT_EQ(list.columnImages[0], -1);
  // Rows move whole: cells and selection stay together.
  for (const auto& row : list.rows) EXPECT_EQ(row.cells[4], "magnet:?xt=urn:btih:" + row.cells[3]);
  EXPECT_TRUE(list.rows[2].selected);

  SortListByColumn(list, 3, kSortText);
  EXPECT_EQ(list.Column(3), (V{"2015-10-01", "2015-04-03", "2014-12-31", ""}));
  EXPECT_EQ(list.columnImages[3], 0);
  EXPECT_TRUE(list.rows[1].selected);

  SortListByColumn(list, 3, kSortText);
  EXPECT_EQ(list.columnImages[3], 1);
  EXPECT_TRUE(ProgramSortState().ascending);
}

TEST_F(ColumnSort, HeaderImagesAreResetThenSetEveryTime) {
  list.AddDates({"b"});
  SortListByColumn(list, 3, kSortText);
  ASSERT_EQ(list.headerImageCalls.size(), 2u);
  EXPECT_TRUE(list.headerImageCalls[0].empty());
  EXPECT_EQ(list.headerImageCalls[1], SortArrowImages());
}

TEST_F(ColumnSort, KindsOutsideRangeSortAsText) {
  for (const int kind : {0, 5, -3}) {
    ProgramSortState() = SortState{};
    FakeList l;
    l.AddDates({"10", "9", "b", "A", "a"});
    SortListByColumn(l, 3, kind);
    EXPECT_EQ(ProgramSortState().kind, kSortText) << kind;
    // Text order, digits numerically, lower case before upper case.
    EXPECT_EQ(l.Column(3), (V{"9", "10", "a", "A", "b"})) << kind;
  }
}

TEST_F(ColumnSort, NumberKindsCompareWholeParts) {
  struct Case {
    int kind;
    std::initializer_list<const char*> cells;
    V ascending;
  };
  const Case cases[] = {
      // Equal keys keep their order (the list's sort is stable).
      {kSortDecimal, {"1.23459", "1.23456", "0.5"}, {"0.5", "1.23459", "1.23456"}},
      {kSortInteger, {"12.9", "12.1", "3"}, {"3", "12.9", "12.1"}},
      {kSortInteger, {"2000000000", "-2000000000", "5"}, {"-2000000000", "5", "2000000000"}},
      {kSortInteger, {"x", "-1", "\xA3\xB7"}, {"-1", "x", "\xA3\xB7"}},  // no number reads 0; full-width 7
      {kSortDecimal, {"0.0003", "0.00019", "-0.00005"}, {"-0.00005", "0.00019", "0.0003"}},
      {kSortDecimal, {"0.00019", "0.0001"}, {"0.00019", "0.0001"}},  // both read 1
  };
  for (const auto& c : cases) {
    ProgramSortState() = SortState{};
    FakeList l;
    l.AddDates(c.cells);
    SortListByColumn(l, 3, c.kind);
    EXPECT_EQ(l.Column(3), c.ascending) << "kind " << c.kind;
  }
}

TEST_F(ColumnSort, DateTimeKindOrdersNegativeDatesByTime) {
  // 1899-12-29 06:00 is -1.25 and later than 1899-12-29 00:00 (-1.0); unreadable texts count as
  // 100-01-01, as early as anything.
  list.AddDates({"1899-12-29 06:00", "1899-12-29", "2015-04-03 08:00", "junk", "1900-01-01"});
  SortListByColumn(list, 3, kSortDateTime);
  EXPECT_EQ(list.Column(3), (V{"junk", "1899-12-29", "1899-12-29 06:00", "1900-01-01", "2015-04-03 08:00"}));
}

TEST_F(ColumnSort, EmptyListKeepsOrderAndArrowInStep) {
  SortListByColumn(list, 3, kSortText);
  EXPECT_FALSE(ProgramSortState().ascending);
  EXPECT_EQ(list.columnImages, (std::array<int, 5>{-1, -1, -1, -1, -1}));
  list.AddDates({"2", "1"});
  SortListByColumn(list, 3, kSortText);
  EXPECT_EQ(list.Column(3), (V{"1", "2"}));  // still ascending, with the down arrow
  EXPECT_EQ(list.columnImages[3], 1);
}

TEST_F(ColumnSort, AutoSizeFitsEveryColumnInOrder) {
  list.AddDates({"1"});
  SortListByColumn(list, 3, kSortText, true);
  EXPECT_EQ(list.fitted, (std::vector<int>{0, 1, 2, 3, 4}));
  list.fitted.clear();
  SortListByColumn(list, 3, kSortText);
  EXPECT_TRUE(list.fitted.empty());
}

TEST_F(ColumnSort, IndicatorStateMachine) {
  struct Case {
    int marked;
    std::array<int, 5> before;
    int column;
    std::array<int, 5> after;
    int markedAfter;
  };
  const Case cases[] = {
      {0, {-1, -1, -1, -1, -1}, 0, {0, -1, -1, -1, -1}, 0},
      {0, {0, -1, -1, -1, -1}, 0, {1, -1, -1, -1, -1}, 0},
      {0, {1, -1, -1, -1, -1}, 0, {0, -1, -1, -1, -1}, 0},
      {0, {-1, -1, -1, -1, -1}, 3, {-1, -1, -1, 1, -1}, 3},
      {0, {0, -1, -1, -1, -1}, 3, {-1, -1, -1, 0, -1}, 3},
      {0, {1, -1, -1, -1, -1}, 3, {-1, -1, -1, 1, -1}, 3},
      {3, {-1, -1, -1, 1, -1}, 1, {-1, 1, -1, -1, -1}, 1},
  };
  for (const auto& c : cases) {
    FakeList l;
    l.columnImages = c.before;
    ProgramSortState() = SortState{};
    ProgramSortState().list = &l;
    ProgramSortState().markedColumn = c.marked;
    UpdateSortIndicator(c.column);
    EXPECT_EQ(l.columnImages, c.after) << "marked " << c.marked << " column " << c.column;
    EXPECT_EQ(ProgramSortState().markedColumn, c.markedAfter);
  }
}

TEST(NumberReading, LeadingDecimalNumber) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {{"12.5 GB", 12.5}, {"  -3", -3}, {"+4.", 4}, {".5", 0.5}, {"abc", 0}, {"", 0},
                        {"-", 0},          {"1e5", 1},   {"\xA3\xAD\xA3\xB1\xA3\xB2", -12}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(TextToNumber(c.text), c.value) << c.text;
  EXPECT_EQ(NumberToText(2000000000), "2000000000");  // plain digits, no exponent
  EXPECT_EQ(NumberToText(-12345.5), "-12345.5");
  EXPECT_EQ(NumberToText(1e20), "100000000000000000000");
}

}  // namespace
}  // namespace korvane
