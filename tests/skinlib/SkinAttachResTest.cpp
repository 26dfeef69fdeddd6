// The skin library as the program meets it: loaded by file name, called through SkinH_AttachRes.
#include <dlfcn.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "skinlib/SkinAttachRes.h"
#include "skinlib/SkinFile.h"
#include "support/QtApplicationTest.h"

namespace korvane {
namespace {

using Bytes = std::vector<unsigned char>;

struct Closer {
  void operator()(void* h) const { dlclose(h); }
};

// The built library, looked up the way the program looks it up.
class SkinLibraryFile {
 public:
  SkinLibraryFile() : handle_(dlopen(KORVANE_SKIN_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL)) {
    if (handle_) attach_ = reinterpret_cast<SkinAttachResFn>(dlsym(handle_.get(), KORVANE_SKIN_ATTACH_NAME));
  }
  SkinAttachResFn attach() const { return attach_; }

 private:
  std::unique_ptr<void, Closer> handle_;
  SkinAttachResFn attach_ = nullptr;
};

int Attach(SkinAttachResFn attach, const Bytes& skin) {
  return attach(skin.data(), static_cast<int>(skin.size()), "", 0, 0, 0);
}

struct Look {
  QString style;
  QPalette palette;
  QFont font;
  QString styleSheet;
  bool operator==(const Look&) const = default;
};

// With a style sheet in force the application's style is a sheet style wrapped around the real one.
QString BaseStyleName() {
  const QString sheet = qApp->styleSheet();
  if (sheet.isEmpty()) return QApplication::style()->name();
  qApp->setStyleSheet({});
  const QString name = QApplication::style()->name();
  qApp->setStyleSheet(sheet);
  return name;
}

Look CurrentLook() { return {BaseStyleName(), QApplication::palette(), QApplication::font(), qApp->styleSheet()}; }

QString OtherStyleThanCurrent() {
  return BaseStyleName().compare("fusion", Qt::CaseInsensitive) == 0 ? "Windows" : "Fusion";
}

SkinFile SampleSkin(const QString& style) {
  SkinFile skin;
  skin.name = "测试 Sample";
  skin.style = style.toStdString();
  skin.colours = {{SkinColourGroup::All, SkinColourRole::Window, 0x12, 0x34, 0x56},
                  {SkinColourGroup::All, SkinColourRole::Text, 0x01, 0x02, 0x03},
                  {SkinColourGroup::Disabled, SkinColourRole::Text, 0xAB, 0xCD, 0xEF},
                  {SkinColourGroup::Inactive, SkinColourRole::Highlight, 0x00, 0x80, 0x00}};
  skin.font = SkinFont{11, {"WenQuanYi Micro Hei", "Noto Sans CJK SC"}};
  skin.styleSheet = "QPushButton { border-radius: 3px; }";
  return skin;
}

class SkinAttachRes : public testing::QtApplicationTest {
 protected:
  void SetUp() override { ASSERT_NE(library_.attach(), nullptr) << dlerror(); }
  SkinLibraryFile library_;
};

TEST_F(SkinAttachRes, DressesTheApplicationInTheSkin) {
  const QString style = OtherStyleThanCurrent();
  ASSERT_TRUE(QStyleFactory::keys().contains(style, Qt::CaseInsensitive));
  const Bytes skin = WriteSkinFile(SampleSkin(style));
  ASSERT_EQ(Attach(library_.attach(), skin), 1);

  EXPECT_EQ(BaseStyleName().toLower(), style.toLower());
  const QPalette palette = QApplication::palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    EXPECT_EQ(palette.color(group, QPalette::Window), QColor(0x12, 0x34, 0x56)) << group;
  EXPECT_EQ(palette.color(QPalette::Active, QPalette::Text), QColor(0x01, 0x02, 0x03));
  EXPECT_EQ(palette.color(QPalette::Disabled, QPalette::Text), QColor(0xAB, 0xCD, 0xEF));
  EXPECT_EQ(palette.color(QPalette::Inactive, QPalette::Highlight), QColor(0x00, 0x80, 0x00));
  EXPECT_NE(palette.color(QPalette::Active, QPalette::Highlight), QColor(0x00, 0x80, 0x00));
  const QFont font = QApplication::font();
  EXPECT_EQ(font.families(), (QStringList{"WenQuanYi Micro Hei", "Noto Sans CJK SC"}));
  EXPECT_EQ(font.pointSize(), 11);
  EXPECT_EQ(qApp->styleSheet(), "QPushButton { border-radius: 3px; }");
  // Widgets made afterwards wear it too.
  QLineEdit edit;
  EXPECT_EQ(edit.palette().color(QPalette::Active, QPalette::Text), QColor(0x01, 0x02, 0x03));
}

TEST_F(SkinAttachRes, ReservedArgumentsAreIgnored) {
  const Bytes skin = WriteSkinFile(SampleSkin("Fusion"));
  EXPECT_EQ(library_.attach()(skin.data(), static_cast<int>(skin.size()), nullptr, 7, -1, 1 << 30), 1);
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), QColor(0x12, 0x34, 0x56));
}

TEST_F(SkinAttachRes, UnreadableSkinLeavesTheLookUnchanged) {
  ASSERT_EQ(Attach(library_.attach(), WriteSkinFile(SampleSkin("Fusion"))), 1);
  const Look before = CurrentLook();

  const Bytes good = WriteSkinFile(SampleSkin(OtherStyleThanCurrent()));
  Bytes trailing = good;
  trailing.push_back(0);
  Bytes badHeader = good;
  badHeader[5] = 0x02;
  const Bytes text = {'h', 'e', 'l', 'l', 'o'};
  struct Case {
    const char* what;
    const unsigned char* bytes;
    int size;
  };
  const Case cases[] = {
      {"null address", nullptr, 0},
      {"null address with a length", nullptr, 100},
      {"length 0", good.data(), 0},
      {"negative length", good.data(), -5},
      {"cut short", good.data(), static_cast<int>(good.size()) - 1},
      {"header only", good.data(), 6},
      {"trailing bytes", trailing.data(), static_cast<int>(trailing.size())},
      {"other format revision", badHeader.data(), static_cast<int>(badHeader.size())},
      {"not a skin", text.data(), static_cast<int>(text.size())},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(library_.attach()(c.bytes, c.size, "", 0, 0, 0), 0) << c.what;
    EXPECT_TRUE(CurrentLook() == before) << c.what;
  }
}

TEST_F(SkinAttachRes, UnknownStyleKeepsTheStyleAndTakesTheRest) {
  const QString styleBefore = BaseStyleName();
  ASSERT_EQ(Attach(library_.attach(), WriteSkinFile(SampleSkin("NoSuchStyle"))), 1);
  EXPECT_EQ(BaseStyleName(), styleBefore);
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), QColor(0x12, 0x34, 0x56));
}

TEST_F(SkinAttachRes, NextSkinReplacesTheStyleSheetAndPalette) {
  ASSERT_EQ(Attach(library_.attach(), WriteSkinFile(SampleSkin("Fusion"))), 1);
  SkinFile plain;
  plain.colours = {{SkinColourGroup::All, SkinColourRole::Base, 0xFA, 0xFA, 0xFA}};
  ASSERT_EQ(Attach(library_.attach(), WriteSkinFile(plain)), 1);
  EXPECT_TRUE(qApp->styleSheet().isEmpty());
  // Roles the new skin leaves out come from the style, not from the skin before.
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), QApplication::style()->standardPalette().color(QPalette::Window));
  EXPECT_EQ(QApplication::palette().color(QPalette::Base), QColor(0xFA, 0xFA, 0xFA));
}

// The caller frees its copy as soon as the call returns; drawing afterwards must not need it.
TEST_F(SkinAttachRes, KeepsNoPointerIntoTheCallersBytes) {
  auto skin = std::make_unique<Bytes>(WriteSkinFile(SampleSkin(OtherStyleThanCurrent())));
  ASSERT_EQ(Attach(library_.attach(), *skin), 1);
  std::fill(skin->begin(), skin->end(), 0xFF);
  skin.reset();

  QTreeWidget list;
  QPushButton button("搜索");
  QLineEdit edit("速度与激情7");
  for (QWidget* w : {static_cast<QWidget*>(&list), static_cast<QWidget*>(&button), static_cast<QWidget*>(&edit)}) {
    w->show();
    EXPECT_FALSE(w->grab().isNull());
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), QColor(0x12, 0x34, 0x56));
  EXPECT_EQ(qApp->styleSheet(), "QPushButton { border-radius: 3px; }");
}

TEST_F(SkinAttachRes, CallFromAnotherThreadChangesNothing) {
  const Look before = CurrentLook();
  const Bytes skin = WriteSkinFile(SampleSkin(OtherStyleThanCurrent()));
  int result = -1;
  std::thread other([&] { result = Attach(library_.attach(), skin); });
  other.join();
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(CurrentLook() == before);
}

TEST(SkinAttachResWithoutWidgets, DoesNothingWithoutAWidgetApplication) {
  SkinLibraryFile library;
  ASSERT_NE(library.attach(), nullptr) << dlerror();
  const Bytes skin = WriteSkinFile(SampleSkin("Fusion"));
  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  EXPECT_EQ(Attach(library.attach(), skin), 0);
  int argc = 1;
  char name[] = "core-only";
  char* argv[] = {name, nullptr};
  QCoreApplication core(argc, argv);
  EXPECT_EQ(Attach(library.attach(), skin), 0);
}

}  // namespace
}  // namespace korvane
