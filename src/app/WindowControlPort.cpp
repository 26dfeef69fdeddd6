#include "app/WindowControlPort.h"

#include <QLineEdit>

#include <utility>

#include "app/WindowCalls.h"
#include "resultlist/ResultList.h"
#include "resultlist/WidgetText.h"

namespace korvane {

WindowControlPort::WindowControlPort(std::shared_ptr<WindowCalls> calls, ResultList& list, QLineEdit& keywordBox,
                                     std::function<bool()> stillWanted)
    : calls_(std::move(calls)), list_(&list), keywordBox_(&keywordBox), stillWanted_(std::move(stillWanted)) {}

Text WindowControlPort::ReadKeyword() {
  Text keyword;
  calls_->Run([&] { keyword = FromWidgetText(keywordBox_->text()); });
  return keyword;
}

void WindowControlPort::ClearRows() {
  calls_->Run([&] {
    if (Wanted()) list_->ClearRows();
  });
}

int WindowControlPort::AppendRow() {
  int row = -1;
  calls_->Run([&] {
    if (Wanted()) row = list_->AppendRow();
  });
  return row;
}

void WindowControlPort::SetCellText(int row, int column, const Text& text) {
  calls_->Run([&] {
    if (Wanted()) list_->SetCellText(row, column, text);
  });
}

int WindowControlPort::AppendResultRow(const ResultRow& result) {
  int row = -1;
  // One step on the window's thread: no clear or sort can fall between the append and the cells.
  calls_->Run([&] {
    if (!Wanted()) return;
    row = list_->AppendRow();
    if (row < 0) return;
    list_->SetCellText(row, ResultList::kNameColumn, result.name);
    list_->SetCellText(row, ResultList::kSizeColumn, result.size);
    list_->SetCellText(row, ResultList::kFilesColumn, result.files);
    list_->SetCellText(row, ResultList::kDateColumn, result.date);
    list_->SetCellText(row, ResultList::kMagnetColumn, result.magnet);
  });
  return row;
}

}  // namespace korvane
