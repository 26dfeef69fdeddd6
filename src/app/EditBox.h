#pragma once
// A single-line edit box that shows its selection only while it has the focus.
#include <QLineEdit>

namespace korvane {

class EditBox : public QLineEdit {
 public:
  explicit EditBox(const QString& text, QWidget* parent = nullptr);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace korvane
