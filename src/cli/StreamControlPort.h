#pragma once
// The search's control port for the terminal: the keyword is fixed, rows are written out as
// they arrive, one line each.
#include <ostream>
#include <vector>

#include "search/ControlPort.h"

namespace korvane {

class StreamControlPort : public ControlPort {
 public:
  StreamControlPort(Text keyword, std::ostream& out, bool json);

  Text ReadKeyword() override { return keyword_; }
  void ClearRows() override {}
  int AppendRow() override;
  // A row built cell by cell is written once its last cell (the magnet link) is set.
  void SetCellText(int row, int column, const Text& text) override;
  int AppendResultRow(const ResultRow& row) override;

  int RowsWritten() const { return written_; }

 private:
  void Write(const ResultRow& row);

  Text keyword_;
  std::ostream& out_;
  bool json_;
  int rows_ = 0;
  int written_ = 0;
  int pendingIndex_ = -1;
  ResultRow pending_;
};

}  // namespace korvane
