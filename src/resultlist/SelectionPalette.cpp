#include "resultlist/SelectionPalette.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace korvane {

void UpdateSelectionPalette(QWidget& widget) {
  // The colours the widget would have without our change: its parent's, or the application's.
  const QPalette natural = widget.parentWidget() ? widget.parentWidget()->palette() : QApplication::palette(&widget);
  QPalette palette = widget.palette();
  const bool shown = widget.hasFocus();
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    palette.setBrush(group, QPalette::Highlight,
                     shown ? natural.brush(group, QPalette::Highlight) : palette.brush(group, QPalette::Base));
    palette.setBrush(group, QPalette::HighlightedText,
                     shown ? natural.brush(group, QPalette::HighlightedText) : palette.brush(group, QPalette::Text));
  }
  widget.setPalette(palette);
}

}  // namespace korvane
