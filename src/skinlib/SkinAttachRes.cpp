// The skin library: reads a skin file and dresses the running Qt application in it.
#include "skinlib/SkinAttachRes.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStringList>
#include <QStyle>
#include <QStyleFactory>
#include <QThread>

#include <array>

#include "skinlib/SkinFile.h"

namespace korvane {
namespace {

constexpr std::array<QPalette::ColorRole, kSkinColourRoleCount> kRoles = {
    QPalette::Window,      QPalette::WindowText,      QPalette::Base,        QPalette::AlternateBase,
    QPalette::Text,        QPalette::Button,          QPalette::ButtonText,  QPalette::BrightText,
    QPalette::Light,       QPalette::Midlight,        QPalette::Mid,         QPalette::Dark,
    QPalette::Shadow,      QPalette::Highlight,       QPalette::HighlightedText, QPalette::Link,
    QPalette::LinkVisited, QPalette::ToolTipBase,     QPalette::ToolTipText, QPalette::PlaceholderText,
};

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

void SetColour(QPalette& palette, const SkinColour& c) {
  const QColor colour(c.red, c.green, c.blue);
  const QPalette::ColorRole role = kRoles[static_cast<std::size_t>(c.role)];
  switch (c.group) {
    case SkinColourGroup::All: palette.setColor(role, colour); break;
    case SkinColourGroup::Active: palette.setColor(QPalette::Active, role, colour); break;
    case SkinColourGroup::Inactive: palette.setColor(QPalette::Inactive, role, colour); break;
    case SkinColourGroup::Disabled: palette.setColor(QPalette::Disabled, role, colour); break;
  }
}

bool HasStyle(const QString& key) { return QStyleFactory::keys().contains(key, Qt::CaseInsensitive); }

// Everything was read before this runs, so a bad file never leaves the look half changed.
void Dress(QApplication& app, const SkinFile& skin) {
  if (!skin.style.empty()) {
    const QString key = FromUtf8(skin.style);
    if (HasStyle(key)) QApplication::setStyle(key);
  }
  QPalette palette = QApplication::style()->standardPalette();
  for (const SkinColour& c : skin.colours) SetColour(palette, c);
  QApplication::setPalette(palette);

  if (skin.font) {
    QFont font = QApplication::font();
    QStringList families;
    for (const std::string& f : skin.font->families) families << FromUtf8(f);
    font.setFamilies(families);
    if (skin.font->pointSize > 0) font.setPointSize(skin.font->pointSize);
    QApplication::setFont(font);
  }
  app.setStyleSheet(FromUtf8(skin.styleSheet));
}

int Attach(const unsigned char* bytes, int size) {
  if (!bytes || size <= 0) return 0;
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  // Widgets belong to the application's thread; from any other thread the look is not ours to touch.
  if (!app || QThread::currentThread() != app->thread()) return 0;
  const SkinParseResult parsed = ParseSkinFile({bytes, static_cast<std::size_t>(size)});
  if (!parsed.ok()) return 0;
  Dress(*app, parsed.skin);
  return 1;
}

}  // namespace
}  // namespace korvane

extern "C" int SkinH_AttachRes(const unsigned char* skin, int size, const char*, int, int, int) {
  try {
    return korvane::Attach(skin, size);
  } catch (...) {  // nothing may unwind into the caller, which need not be C++
    return 0;
  }
}
