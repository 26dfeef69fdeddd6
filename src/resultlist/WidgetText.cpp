#include "resultlist/WidgetText.h"

#include <string>
#include <string_view>

#include "text/CodePage.h"

namespace korvane {

QString ToWidgetText(const Text& text) {
  if (text.empty()) return {};
  const std::u16string wide = MultiByteToWide(kCodePage936, text);
  return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

Text FromWidgetText(const QString& text) {
  if (text.isEmpty()) return {};
  return WideToMultiByte(kCodePage936, std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                           static_cast<std::size_t>(text.size())));
}

}  // namespace korvane
