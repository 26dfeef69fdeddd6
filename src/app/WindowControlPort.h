#pragma once
// The window's side of the ControlPort: each call is carried out on the window's thread while the
// caller waits. Once the window has closed its calls, reading gives an empty keyword and appending
// gives -1; nothing touches a control any more.
#include <functional>
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
  // `stillWanted`, when given, is asked on the window's thread before every change to the list:
  // once it says no, the list is left alone (AppendRow and AppendResultRow give -1).
  WindowControlPort(std::shared_ptr<WindowCalls> calls, ResultList& list, QLineEdit& keywordBox,
                    std::function<bool()> stillWanted = {});

  Text ReadKeyword() override;
  void ClearRows() override;
  int AppendRow() override;
  void SetCellText(int row, int column, const Text& text) override;
  int AppendResultRow(const ResultRow& row) override;

 private:
  std::shared_ptr<WindowCalls> calls_;
  ResultList* list_;
  QLineEdit* keywordBox_;
  std::function<bool()> stillWanted_;

  bool Wanted() const { return !stillWanted_ || stillWanted_(); }
};

}  // namespace korvane
