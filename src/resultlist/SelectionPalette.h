#pragma once
// The list and the keyword box show their selection only while they have the focus, as the
// platform's controls do by default. Call from the widget's focus-in and focus-out handlers
// (and once at creation).
class QWidget;

namespace korvane {

void UpdateSelectionPalette(QWidget& widget);

}  // namespace korvane
