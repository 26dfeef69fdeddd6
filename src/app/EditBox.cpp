#include "app/EditBox.h"

#include "resultlist/SelectionPalette.h"

namespace korvane {

EditBox::EditBox(const QString& text, QWidget* parent) : QLineEdit(text, parent) {
  setFrame(true);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setEchoMode(QLineEdit::Normal);
  setReadOnly(false);
  setCursorPosition(0);
  deselect();
  UpdateSelectionPalette(*this);
}

void EditBox::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  UpdateSelectionPalette(*this);
}

void EditBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  UpdateSelectionPalette(*this);
}

}  // namespace korvane
