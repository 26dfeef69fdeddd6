#pragma once
// Sorting the result list by one column under one of four kinds of key, and the header arrow.
// Everything here runs on the window's thread.
#include <cstdint>

#include "resultlist/SortableList.h"
#include "text/Types.h"

namespace korvane {

enum SortKind : int { kSortText = 1, kSortDateTime = 2, kSortInteger = 3, kSortDecimal = 4 };

// One for the whole program.
struct SortState {
  SortableList* list = nullptr;
  bool ascending = false;
  int column = 0;
  int kind = 0;
  int markedColumn = 0;
};

SortState& ProgramSortState();

// The header image marking the sorted column: image 0 points up, image 1 down.
void UpdateSortIndicator(int column);
void AutoSizeColumns(SortableList& list);
void SortListByColumn(SortableList& list, int column, int kind, bool autoSize = false);
// The comparison callback of SortRows during SortListByColumn: the row values refer to the keys.
int CompareSortKeys(std::intptr_t value1, std::intptr_t value2, std::intptr_t param);

// The toolkit's readings used for keys: the leading decimal number of a text (full-width digits
// and signs as ASCII, 0 when none), and its text form (plain digits, never an exponent).
double TextToNumber(std::string_view text);
Text NumberToText(double value);

}  // namespace korvane
