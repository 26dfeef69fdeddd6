#include "cli/StreamControlPort.h"

#include "cli/RowFormat.h"

namespace korvane {

StreamControlPort::StreamControlPort(Text keyword, std::ostream& out, bool json)
    : keyword_(std::move(keyword)), out_(out), json_(json) {}

int StreamControlPort::AppendRow() {
  pendingIndex_ = rows_;
  pending_ = ResultRow{};
  return rows_++;
}

void StreamControlPort::SetCellText(int row, int column, const Text& text) {
  if (row != pendingIndex_) return;
  Text* const cells[] = {&pending_.name, &pending_.size, &pending_.files, &pending_.date, &pending_.magnet};
  if (column < 0 || column >= 5) return;
  *cells[column] = text;
  if (column == 4) {
    Write(pending_);
    pendingIndex_ = -1;
  }
}

int StreamControlPort::AppendResultRow(const ResultRow& row) {
  Write(row);
  return rows_++;
}

void StreamControlPort::Write(const ResultRow& row) {
  out_ << (json_ ? FormatJsonRow(row) : FormatTabRow(row)) << '\n' << std::flush;
  ++written_;
}

}  // namespace korvane
