#include "skin/SkinCatalogue.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "TempDirectory.h"
#include "skin/InstallSkinLibrary.h"
#include "skin/SkinLibrary.h"
#include "skinlib/SkinFile.h"
#include "support/QtApplicationTest.h"

namespace korvane {
namespace {

double Luminance(const SkinColour& c) {
  auto channel = [](int v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.red) + 0.7152 * channel(c.green) + 0.0722 * channel(c.blue);
}

double Contrast(const SkinColour& a, const SkinColour& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::map<SkinColourRole, SkinColour> ColoursOfAllGroups(const SkinFile& skin) {
  std::map<SkinColourRole, SkinColour> out;
  for (const SkinColour& c : skin.colours)
    if (c.group == SkinColourGroup::All) out[c.role] = c;
  return out;
}

TEST(SkinCatalogue, EveryEntryIsAReadableSkinWithLegibleText) {
  using R = SkinColourRole;
  const std::pair<R, R> pairs[] = {
      {R::WindowText, R::Window}, {R::Text, R::Base}, {R::ButtonText, R::Button}, {R::HighlightedText, R::Highlight}};
  const QStringList styles = QStyleFactory::keys();
  for (int n = 1; n <= kSkinCount; ++n) {
    const auto file = SkinCatalogue(n);
    ASSERT_GE(file.size(), sizeof kSkinMagic) << n;
    EXPECT_TRUE(std::equal(std::begin(kSkinMagic), std::end(kSkinMagic), file.begin())) << n;
    const SkinParseResult parsed = ParseSkinFile(file);
    ASSERT_TRUE(parsed.ok()) << n << ": error " << static_cast<int>(parsed.error) << " at " << parsed.offset;
    EXPECT_FALSE(parsed.skin.name.empty()) << n;
    EXPECT_TRUE(styles.contains(QString::fromStdString(parsed.skin.style), Qt::CaseInsensitive)) << n;
    const auto colours = ColoursOfAllGroups(parsed.skin);
    for (const auto& [fore, back] : pairs) {
      ASSERT_TRUE(colours.count(fore) && colours.count(back)) << n;
      EXPECT_GE(Contrast(colours.at(fore), colours.at(back)), 4.5) << "skin " << n << " roles "
                                                                   << static_cast<int>(fore) << "/" << static_cast<int>(back);
    }
  }
}

TEST(SkinCatalogue, NumbersOutsideTheCatalogueGiveNoSkin) {
  for (int n : {0, -1, kSkinCount + 1, INT_MIN, INT_MAX}) EXPECT_TRUE(SkinCatalogue(n).empty()) << n;
}

TEST(SkinCatalogue, EntriesAreDistinct) {
  for (int a = 1; a <= kSkinCount; ++a)
    for (int b = a + 1; b <= kSkinCount; ++b)
      EXPECT_FALSE(std::ranges::equal(SkinCatalogue(a), SkinCatalogue(b))) << a << " and " << b;
}

class SkinCatalogueInTheLibrary : public testing::QtApplicationTest {
 protected:
  // The library as the program carries it, installed and loaded the way the program does.
  void SetUp() override {
    ASSERT_EQ(InstallSkinLibraryIn(dir_.path()), SkinInstall::Written);
    library_ = SkinLibrary::Load(dir_.path());
    ASSERT_TRUE(library_.IsLoaded()) << library_.Failure();
  }
  int Attach(int n) {
    const auto file = SkinCatalogue(n);
    return library_.AttachRes()(file.data(), static_cast<int>(file.size()), "", 0, 0, 0);
  }
  testing::TempDirectory dir_;
  SkinLibrary library_;
};

std::vector<std::string>* warnings = nullptr;
void CollectWarning(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (warnings && type != QtDebugMsg && type != QtInfoMsg) warnings->push_back(text.toStdString());
}

// Style sheets are parsed only when a widget is polished: a faulty one shows as Qt warnings.
TEST_F(SkinCatalogueInTheLibrary, EverySkinIsTakenAndItsStyleSheetParses) {
  std::vector<std::string> seen;
  warnings = &seen;
  const QtMessageHandler previous = qInstallMessageHandler(CollectWarning);
  for (int n = 1; n <= kSkinCount; ++n) {
    EXPECT_EQ(Attach(n), 1) << n;
    QLineEdit edit(QStringLiteral("速度与激情7"));
    QPushButton button(QStringLiteral("搜索"));
    QTreeWidget list;
    edit.ensurePolished();
    button.ensurePolished();
    list.ensurePolished();
    EXPECT_TRUE(seen.empty()) << "skin " << n << ": " << seen.front();
    seen.clear();
  }
  qInstallMessageHandler(previous);
  warnings = nullptr;
}

// Skin 2 is the window's: its fonts must cover Chinese, with one of them installed by setup.
TEST_F(SkinCatalogueInTheLibrary, SkinTwoWritesChineseInAFontThatHasIt) {
  const SkinParseResult skin = ParseSkinFile(SkinCatalogue(2));
  ASSERT_TRUE(skin.ok() && skin.skin.font);
  const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
  const bool covered = std::any_of(skin.skin.font->families.begin(), skin.skin.font->families.end(),
                                   [&](const std::string& f) { return chinese.contains(QString::fromStdString(f)); });
  EXPECT_TRUE(covered) << "installed Chinese fonts: " << chinese.join(", ").toStdString();
  ASSERT_EQ(Attach(2), 1);
  const QFontInfo used(QLineEdit().font());
  EXPECT_TRUE(chinese.contains(used.family())) << used.family().toStdString();
}

}  // namespace
}  // namespace korvane
