#pragma once
// Texts crossing between the widgets (UTF-16) and the core (code page 936).
#include <QString>

#include "text/Types.h"

namespace korvane {

QString ToWidgetText(const Text& text);
Text FromWidgetText(const QString& text);

}  // namespace korvane
