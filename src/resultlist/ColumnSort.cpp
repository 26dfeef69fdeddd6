#include "resultlist/ColumnSort.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "resultlist/DateTime.h"
#include "resultlist/SortArrowImages.h"
#include "text/LocaleCompare.h"
#include "text/TextOps.h"

namespace korvane {
namespace {

// A row's key for one sort: its text, and what the comparisons read from it, worked out once.
struct SortKey {
  Text text;
  std::string collation;  // kind 1
  double dateTime = 0;    // kind 2
  std::int32_t whole = 0; // kinds 3 and 4
};

// The keys of the sort in progress; empty between sorts.
std::vector<SortKey>& ActiveKeys() {
  static std::vector<SortKey> keys;
  return keys;
}

SortKey MakeKey(const Text& cell, int kind) {
  SortKey key;
  switch (kind) {
    case kSortDateTime:
      key.text = cell;
      key.dateTime = ReadDateTime(cell).value_or(kMinDateTime);
      break;
    case kSortInteger:
    case kSortDecimal:
      key.text = NumberToText(TextToNumber(cell) * (kind == kSortDecimal ? 10000 : 1));
      key.whole = TextToInt(key.text);
      break;
    default:
      key.text = cell;
      key.collation = LocaleSortKey(cell);
  }
  return key;
}

// Reads digits (ASCII or full-width) into `out` as ASCII; returns how many.
int ReadDigits(std::string_view text, std::size_t& pos, std::string& out) {
  int count = 0;
  while (pos < text.size()) {
    if (text[pos] >= '0' && text[pos] <= '9') {
      out += text[pos++];
    } else if (pos + 1 < text.size() && text[pos] == '\xA3' && static_cast<unsigned char>(text[pos + 1]) >= 0xB0 &&
               static_cast<unsigned char>(text[pos + 1]) <= 0xB9) {
      out += static_cast<char>('0' + (static_cast<unsigned char>(text[pos + 1]) - 0xB0));
      pos += 2;
    } else {
      break;
    }
    ++count;
  }
  return count;
}

}  // namespace

SortState& ProgramSortState() {
  static SortState state;
  return state;
}

double TextToNumber(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  std::string ascii;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    ascii += text[pos++];
  } else if (pos + 1 < text.size() && text[pos] == '\xA3' && (text[pos + 1] == '\xAB' || text[pos + 1] == '\xAD')) {
    ascii += text[pos + 1] == '\xAD' ? '-' : '+';
    pos += 2;
  }
  int digits = ReadDigits(text, pos, ascii);
  if (pos < text.size() && text[pos] == '.') {
    ascii += text[pos++];
    digits += ReadDigits(text, pos, ascii);
  }
  if (digits == 0) return 0;
  double value = 0;
  const char* first = ascii.data() + (ascii[0] == '+' ? 1 : 0);
  std::from_chars(first, ascii.data() + ascii.size(), value);
  return value;
}

Text NumberToText(double value) {
  if (!std::isfinite(value)) return "0";
  char buffer[512];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (result.ec != std::errc()) return "0";
  return Text(buffer, result.ptr);
}

void UpdateSortIndicator(int column) {
  SortState& state = ProgramSortState();
  if (!state.list) return;
  SortableList& list = *state.list;
  if (column == state.markedColumn) {
    list.SetColumnImage(column, list.GetColumnImage(column) == 0 ? 1 : 0);
    return;
  }
  list.SetColumnImage(column, list.GetColumnImage(state.markedColumn) == 0 ? 0 : 1);
  list.SetColumnImage(state.markedColumn, -1);
  state.markedColumn = column;
}

void AutoSizeColumns(SortableList& list) {
  for (int c = 0; c < list.ColumnCount(); ++c) list.FitColumnWidth(c);
}

int CompareSortKeys(std::intptr_t value1, std::intptr_t value2, std::intptr_t) {
  const SortState& state = ProgramSortState();
  const auto& keys = ActiveKeys();
  if (value1 < 0 || value2 < 0 || static_cast<std::size_t>(value1) >= keys.size() ||
      static_cast<std::size_t>(value2) >= keys.size()) {
    return 0;
  }
  const SortKey& a = keys[static_cast<std::size_t>(state.ascending ? value1 : value2)];
  const SortKey& b = keys[static_cast<std::size_t>(state.ascending ? value2 : value1)];
  switch (state.kind) {
    case kSortDateTime:
      return CompareDateTimes(a.dateTime, b.dateTime);
    case kSortInteger:
    case kSortDecimal:
      return a.whole < b.whole ? -1 : (a.whole > b.whole ? 1 : 0);
    default: {
      const int c = a.collation.compare(b.collation);
      return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
  }
}

void SortListByColumn(SortableList& list, int column, int kind, bool autoSize) {
  SortState& state = ProgramSortState();
  state.list = &list;
  list.SetHeaderImages({});
  list.SetHeaderImages(SortArrowImages());
  const int rows = list.RowCount();
  // An empty list is not sorted and its arrow stays; its order stays too, so that order and
  // arrow keep in step for the sorts that follow.
  if (rows > 0) state.ascending = !state.ascending;
  state.column = column;
  state.kind = (kind < kSortText || kind > kSortDecimal) ? kSortText : kind;
  auto& keys = ActiveKeys();
  keys.assign(static_cast<std::size_t>(rows), SortKey{});
  if (rows > 0) {
    for (int i = 0; i < rows; ++i) {
      keys[static_cast<std::size_t>(i)] = MakeKey(list.GetCellText(i, column), state.kind);
      list.SetRowValue(i, i);
    }
    list.SortRows(CompareSortKeys, 0);
    UpdateSortIndicator(column);
  }
  if (autoSize) AutoSizeColumns(list);
  keys.clear();
  keys.shrink_to_fit();
}

}  // namespace korvane
