#pragma once
// What a search needs of the window. The window carries out each call on its own thread while the
// calling thread waits; the command-line tool writes to standard output; tests record.
#include "search/ResultRow.h"
#include "text/Types.h"

namespace korvane {

class ControlPort {
 public:
  virtual ~ControlPort() = default;

  // The keyword box's text as it stands now, in code page 936.
  virtual Text ReadKeyword() = 0;
  virtual void ClearRows() = 0;
  // Appends an empty row; its index, or -1 when the list refuses it.
  virtual int AppendRow() = 0;
  virtual void SetCellText(int row, int column, const Text& text) = 0;
  // Appends a row with its five cells in one step, so that nothing can fall between the append
  // and the cells. Its index, or -1.
  virtual int AppendResultRow(const ResultRow& row) = 0;
};

}  // namespace korvane
