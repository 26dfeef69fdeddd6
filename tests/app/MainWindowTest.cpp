#include "app/MainWindow.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "resultlist/OpenAddress.h"
#include "resultlist/ResultList.h"
#include "resultlist/WidgetText.h"

namespace korvane {
namespace {

const Text kMagnet = "magnet:?xt=urn:btih:3f2a9c1d7e6b5a4f3e2d1c0b9a8f7e6d5c4b3a29";

bool NoSkin(int) { return true; }

QWidget* Control(const MainWindow& window, const char16_t* name) {
  return window.findChild<QWidget*>(QString::fromUtf16(name), Qt::FindDirectChildrenOnly);
}

QPoint RowPoint(ResultList& list, int row) { return list.visualRect(list.model()->index(row, 0)).center(); }
QPoint EmptyPoint(ResultList& list) { return {20, list.viewport()->height() - 5}; }
QPoint HeaderPoint(ResultList& list, int column) {
  return {list.header()->sectionViewportPosition(column) + 10, list.header()->height() / 2};
}

void AddRow(ResultList& list, const Text& name, const Text& magnet) {
  const int row = list.AppendRow();
  list.SetCellText(row, ResultList::kNameColumn, name);
  list.SetCellText(row, ResultList::kSizeColumn, "2.35 GB");
  list.SetCellText(row, ResultList::kFilesColumn, "3");
  list.SetCellText(row, ResultList::kDateColumn, "2015-04-03");
  list.SetCellText(row, ResultList::kMagnetColumn, magnet);
}

class MainWindowTest : public testing::Test {
 public:
  void SetUp() override {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }

  MainWindow window_{NoSkin};
};

TEST_F(MainWindowTest, WindowTitleSizeAndFrame) {
  EXPECT_EQ(window_.windowTitle(), QStringLiteral("Korvane电影资源搜索（磁力链接）工具 By Zimbrel"));
  // The offscreen platform reports a thin frame; the client gives way to it.
  const QMargins frame = window_.windowHandle()->frameMargins();
  EXPECT_EQ(window_.frameGeometry().size(), QSize(604, 339));
  EXPECT_EQ(window_.size(), QSize(604 - frame.left() - frame.right(), 339 - frame.top() - frame.bottom()));
  EXPECT_EQ(window_.minimumSize(), window_.size());
  EXPECT_EQ(window_.maximumSize(), window_.size());

  const Qt::WindowFlags flags = window_.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowTitleHint);
  EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(flags & Qt::FramelessWindowHint);
}

TEST_F(MainWindowTest, WindowIsCentredOnTheScreen) {
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  EXPECT_EQ(window_.frameGeometry().topLeft(),
            QPoint((screen.width() - 604) / 2, (screen.height() - 339) / 2));
}

TEST(MainWindowLayout, CentringDividesTowardZero) {
  struct Case {
    QSize screen;
    QPoint origin;
  };
  const Case cases[] = {
      {{1920, 1080}, {658, 370}},
      {{1024, 768}, {210, 214}},
      {{1025, 769}, {210, 215}},
      {{603, 338}, {0, 0}},  // -1 / 2 is 0, not -1
      {{500, 300}, {-52, -19}},
      {{0, 0}, {-302, -169}},
  };
  for (const Case& c : cases) EXPECT_EQ(MainWindow::CentredOrigin(c.screen), c.origin) << c.screen.width();
}

TEST(MainWindowLayout, ClientIsTheOuterSizeLessTheFrame) {
  struct Case {
    QMargins frame;
    QSize client;
  };
  const Case cases[] = {
      {{0, 0, 0, 0}, {604, 339}},
      {{3, 26, 3, 3}, {598, 310}},
      {{1, 2, 3, 4}, {600, 333}},
      {{400, 400, 400, 400}, {0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(MainWindow::ClientSize(c.frame), c.client) << c.frame.top();
}

TEST_F(MainWindowTest, ControlsHaveTheirNamesPlacesAndTexts) {
  struct Case {
    const char16_t* name;
    const char* className;
    QRect geometry;
  };
  const Case cases[] = {
      {u"超级列表框1", "korvane::ResultList", {8, 40, 576, 256}},
      {u"按钮1", "QPushButton", {528, 8, 56, 25}},
      {u"编辑框1", "QLineEdit", {8, 8, 504, 24}},
  };
  const QFont guiFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  for (const Case& c : cases) {
    QWidget* control = Control(window_, c.name);
    ASSERT_NE(control, nullptr) << c.className;
    EXPECT_TRUE(control->inherits(c.className)) << c.className;
    EXPECT_EQ(control->geometry(), c.geometry) << c.className;
    EXPECT_TRUE(control->isVisible()) << c.className;
    EXPECT_TRUE(control->isEnabled()) << c.className;
    EXPECT_TRUE(control->focusPolicy() & Qt::TabFocus) << c.className;
    EXPECT_EQ(control->font(), guiFont) << c.className;
  }
  EXPECT_EQ(window_.font(), guiFont);
  EXPECT_EQ(window_.SearchButton().text(), QStringLiteral("搜索"));
  EXPECT_EQ(window_.KeywordBox().text(), QStringLiteral("速度与激情7"));
  EXPECT_EQ(window_.List().RowCount(), 0);
  EXPECT_EQ(window_.List().SelectedRow(), -1);
}

TEST_F(MainWindowTest, ControlsAreCreatedAndTabbedInListButtonEditOrder) {
  std::vector<QString> created;
  for (QObject* child : window_.children())
    if (child->isWidgetType()) created.push_back(child->objectName());
  EXPECT_EQ(created, (std::vector<QString>{QStringLiteral("超级列表框1"), QStringLiteral("按钮1"),
                                           QStringLiteral("编辑框1")}));

  window_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  window_.List().setFocus();
  std::vector<QString> tabbed;
  for (int i = 0; i < 3; ++i) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    tabbed.push_back(focus->objectName());
    QTest::keyClick(focus, Qt::Key_Tab);
  }
  EXPECT_EQ(tabbed, created);
  EXPECT_EQ(QApplication::focusWidget(), &window_.List());
}

TEST_F(MainWindowTest, ButtonFaceBackground) {
  EXPECT_TRUE(window_.autoFillBackground());
  EXPECT_EQ(window_.palette().color(QPalette::Window), window_.palette().color(QPalette::Button));
  const QImage image = window_.grab().toImage();
  EXPECT_EQ(image.pixelColor(300, 320), window_.palette().color(QPalette::Button));  // below the list
}

TEST_F(MainWindowTest, EditBoxStartsWithCaretAtZeroAndNothingSelected) {
  QLineEdit& box = window_.KeywordBox();
  EXPECT_EQ(box.cursorPosition(), 0);
  EXPECT_FALSE(box.hasSelectedText());
  EXPECT_TRUE(box.hasFrame());
  EXPECT_FALSE(box.isReadOnly());
  EXPECT_EQ(box.echoMode(), QLineEdit::Normal);
  EXPECT_TRUE(box.alignment() & Qt::AlignLeft);
  EXPECT_EQ(box.palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(box.palette().color(QPalette::Text), QColor(Qt::black));
}

// The share of the box's text area drawn in the highlight colour (the style may shade it a little).
double HighlightShare(QLineEdit& box) {
  const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
  const QImage image = box.grab(box.rect().adjusted(3, 3, -3, -3)).toImage();
  int hits = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      hits += std::abs(pixel.red() - highlight.red()) + std::abs(pixel.green() - highlight.green()) +
                  std::abs(pixel.blue() - highlight.blue()) < 12;
    }
  }
  return static_cast<double>(hits) / (image.width() * image.height());
}

TEST_F(MainWindowTest, EditBoxShowsItsSelectionOnlyWithFocus) {
  window_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  QLineEdit& box = window_.KeywordBox();
  box.setText(QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"));
  box.setFocus();
  box.selectAll();
  EXPECT_GT(HighlightShare(box), 0.3);
  window_.List().setFocus();
  box.selectAll();  // selected, but without the focus
  ASSERT_TRUE(box.hasSelectedText());
  EXPECT_EQ(HighlightShare(box), 0.0);
}

TEST_F(MainWindowTest, ButtonIsNotTheDefaultButton) {
  QPushButton& button = window_.SearchButton();
  EXPECT_FALSE(button.isDefault());
  EXPECT_FALSE(button.autoDefault());
  EXPECT_FALSE(button.isFlat());
  EXPECT_TRUE(button.icon().isNull());
}

// Separate runs of pixel rows that hold dark (text) pixels inside the button.
int TextLines(QPushButton& button) {
  const QImage image = button.grab().toImage();
  int lines = 0;
  bool inLine = false;
  for (int y = 3; y < image.height() - 3; ++y) {
    bool dark = false;
    for (int x = 4; x < image.width() - 4 && !dark; ++x) dark = qGray(image.pixel(x, y)) < 90;
    if (dark && !inLine) ++lines;
    inLine = dark;
  }
  return lines;
}

TEST_F(MainWindowTest, ButtonCaptionWrapsWhenTooWide) {
  QPushButton& button = window_.SearchButton();
  button.resize(56, 60);  // room for two lines
  button.setText(QStringLiteral("W"));
  EXPECT_EQ(TextLines(button), 1);
  button.setText(QStringLiteral("WWWW WWWW"));
  EXPECT_EQ(TextLines(button), 2);
}

// Records which handler each event reaches.
class RecordingWindow : public MainWindow {
 public:
  RecordingWindow() : MainWindow(NoSkin) {}
  std::vector<std::string> events;

 protected:
  void OnSearchClicked() override { events.push_back("search"); }
  void OnListClicked() override { events.push_back("list"); }
  void OnColumnClick(int column) override { events.push_back("column " + std::to_string(column)); }
};

TEST(MainWindowEvents, EachEventReachesItsHandlerAndNothingElseHasOne) {
  RecordingWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  ResultList& list = window.List();
  for (int i = 0; i < 3; ++i) AddRow(list, "row", kMagnet);

  struct Case {
    const char* gesture;
    std::function<void()> act;
    std::vector<std::string> events;
  };
  QPushButton& button = window.SearchButton();
  QLineEdit& box = window.KeywordBox();
  QWidget* items = list.viewport();
  QWidget* header = list.header()->viewport();
  const Case cases[] = {
      {"button clicked", [&] { QTest::mouseClick(&button, Qt::LeftButton); }, {"search"}},
      {"button pressed with Space",
       [&] {
         button.setFocus();
         QTest::keyClick(&button, Qt::Key_Space);
       },
       {"search"}},
      {"Enter on the button",
       [&] {
         button.setFocus();
         QTest::keyClick(&button, Qt::Key_Return);
       },
       {}},
      {"Enter in the keyword box",
       [&] {
         box.setFocus();
         QTest::keyClick(&box, Qt::Key_Return);
       },
       {}},
      {"typing in the keyword box", [&] { QTest::keyClicks(&box, "abc"); }, {}},
      {"left click on a row", [&] { QTest::mouseClick(items, Qt::LeftButton, {}, RowPoint(list, 1)); }, {"list"}},
      {"left click on empty space", [&] { QTest::mouseClick(items, Qt::LeftButton, {}, EmptyPoint(list)); }, {"list"}},
      {"double click on a row",
       [&] { QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, items->mapTo(&window, RowPoint(list, 1))); },
       {"list"}},
      {"right click on a row", [&] { QTest::mouseClick(items, Qt::RightButton, {}, RowPoint(list, 1)); }, {}},
      {"arrow keys in the list",
       [&] {
         list.setFocus();
         QTest::keyClick(&list, Qt::Key_Down);
         QTest::keyClick(&list, Qt::Key_Up);
       },
       {}},
      {"Enter in the list",
       [&] {
         list.setFocus();
         QTest::keyClick(&list, Qt::Key_Return);
       },
       {}},
      {"header click on the name column", [&] { QTest::mouseClick(header, Qt::LeftButton, {}, HeaderPoint(list, 0)); },
       {"column 0"}},
      {"header click on the date column", [&] { QTest::mouseClick(header, Qt::LeftButton, {}, HeaderPoint(list, 3)); },
       {"column 3"}},
      {"double click on a header",
       [&] { QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, header->mapTo(&window, HeaderPoint(list, 2))); },
       {"column 2"}},
      {"right click on the header", [&] { QTest::mouseClick(header, Qt::RightButton, {}, HeaderPoint(list, 1)); }, {}},
  };
  for (const Case& c : cases) {
    window.events.clear();
    c.act();
    EXPECT_EQ(window.events, c.events) << c.gesture;
  }
}

TEST(MainWindowEvents, CreationAppliesSkinTwoOnceWithControlsInPlaceAndNothingShown) {
  std::vector<int> skins;
  std::vector<QString> controlsAtCreation;
  bool anythingVisible = false;
  MainWindow window([&](int skin) {
    skins.push_back(skin);
    for (QWidget* widget : QApplication::allWidgets()) {
      if (!widget->objectName().isEmpty() && widget->parentWidget() && widget->parentWidget()->objectName() == "MainWindow")
        controlsAtCreation.push_back(widget->objectName());
      anythingVisible = anythingVisible || widget->isVisible();
    }
    return true;
  });
  EXPECT_EQ(skins, std::vector<int>{2});
  std::sort(controlsAtCreation.begin(), controlsAtCreation.end());
  std::vector<QString> expected{QStringLiteral("超级列表框1"), QStringLiteral("按钮1"), QStringLiteral("编辑框1")};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(controlsAtCreation, expected);
  EXPECT_FALSE(anythingVisible);
  EXPECT_FALSE(window.isVisible());
  window.show();
  EXPECT_EQ(skins.size(), 1u);
}

// The handlers themselves, through real clicks.
class MainWindowHandlersTest : public MainWindowTest {
 public:
  void SetUp() override {
    MainWindowTest::SetUp();
    previous_ = SetProgramStarter([this](const QString& program, const QStringList& arguments) {
      started_.push_back(program + ' ' + arguments.join(' '));
    });
  }
  void TearDown() override { SetProgramStarter(std::move(previous_)); }

  ProgramStarter previous_;
  std::vector<QString> started_;
};

TEST_F(MainWindowHandlersTest, SearchClickEmptiesTheList) {
  for (int i = 0; i < 3; ++i) AddRow(window_.List(), "row", kMagnet);
  QTest::mouseClick(&window_.SearchButton(), Qt::LeftButton);
  EXPECT_EQ(window_.List().RowCount(), 0);
  EXPECT_EQ(window_.KeywordBox().text(), QStringLiteral("速度与激情7"));
}

TEST_F(MainWindowHandlersTest, ClickOnARowOpensItsLinkAndKeepsItInTheBox) {
  ResultList& list = window_.List();
  AddRow(list, "first", "magnet:?xt=urn:btih:0000");
  AddRow(list, "second", kMagnet);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, RowPoint(list, 1));
  EXPECT_EQ(FromWidgetText(window_.KeywordBox().text()), kMagnet);
  EXPECT_EQ(started_, std::vector<QString>{"xdg-open " + ToWidgetText(kMagnet)});

  // Moving the selection by keyboard opens nothing; the next click opens the row it lands on.
  list.setFocus();
  QTest::keyClick(&list, Qt::Key_Up);
  EXPECT_EQ(list.SelectedRow(), 0);
  EXPECT_EQ(started_.size(), 1u);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, RowPoint(list, 0));
  EXPECT_EQ(started_.back(), QStringLiteral("xdg-open magnet:?xt=urn:btih:0000"));
}

TEST_F(MainWindowHandlersTest, ClickOnEmptySpaceEmptiesTheBox) {
  ResultList& list = window_.List();
  AddRow(list, "only", kMagnet);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, RowPoint(list, 0));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, EmptyPoint(list));
  EXPECT_EQ(window_.KeywordBox().text(), QString());
  EXPECT_EQ(started_.size(), 1u);  // the empty text opened nothing
}

TEST_F(MainWindowTest, ScreenshotShowsTheWindowWithSomeResults) {
  ResultList& list = window_.List();
  AddRow(list, "\xCB\xD9\xB6\xC8\xD3\xEB\xBC\xA4\xC7\xE9" "7 Furious.7.2015.1080p.BluRay", kMagnet);
  AddRow(list, "\xCB\xD9\xB6\xC8\xD3\xEB\xBC\xA4\xC7\xE9" "7 (2015) 1080p", "magnet:?xt=urn:btih:9b8c7d6e5f4a3b2c1d0e9f8a7b6c5d4e3f2a1b0c");
  AddRow(list, "Furious 7 2015 720p WEB-DL", "magnet:?xt=urn:btih:00ff11ee22dd33cc44bb55aa6699887766554433");
  const QImage image = window_.grab().toImage();
  ASSERT_EQ(image.size(), window_.size());
  EXPECT_TRUE(image.save(QStringLiteral(KORVANE_TEST_OUTPUT "/korvane-window.png")));
  // The keyword box and the list are white inside, the window around them button face.
  EXPECT_EQ(image.pixelColor(480, 20), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(300, 200), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(4, 4), window_.palette().color(QPalette::Button));
}

}  // namespace
}  // namespace korvane
