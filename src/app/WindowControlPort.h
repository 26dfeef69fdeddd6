#pragma once
// The window's side of the ControlPort: each call is carried out on the window's thread while the
// caller waits. Once the window has closed its calls, reading gives an empty keyword and appending
// gives -1; nothing touches a control any more.
#include <memory>

#include "search/ControlPort.h"

class QLineEdit;

namespace korvane {

class ResultList;
class WindowCalls;

class WindowControlPort final : public ControlPort {
 public:
  // `list` and `keywordBox` are used only inside calls that `calls` runs, so they need to live
  // only as long as `calls` takes calls.
  WindowControlPort(std::shared_ptr<WindowCalls> calls, ResultList& list, QLineEdit& keywordBox);

  Text ReadKeyword() override;
  void ClearRows() override;
  int AppendRow() override;
  void SetCellText(int row, int column, const Text& text) override;
  int AppendResultRow(const ResultRow& row) override;

 private:
  std::shared_ptr<WindowCalls> calls_;
  ResultList* list_;
  QLineEdit* keywordBox_;
};

}  // namespace korvane
