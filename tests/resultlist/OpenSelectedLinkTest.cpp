#include "resultlist/OpenSelectedLink.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <functional>
#include <utility>
#include <vector>

#include "resultlist/OpenAddress.h"
#include "resultlist/ResultList.h"
#include "resultlist/WidgetText.h"

namespace korvane {
namespace {

struct Started {
  QString program;
  QStringList arguments;
};

// Puts a recorder in place of the real opener for one test.
class RecordingOpener {
 public:
  RecordingOpener()
      : previous_(SetProgramStarter([this](const QString& program, const QStringList& arguments) {
          started.push_back({program, arguments});
        })) {}
  ~RecordingOpener() { SetProgramStarter(std::move(previous_)); }

  std::vector<Started> started;

 private:
  ProgramStarter previous_;
};

const Text kMagnet = "magnet:?xt=urn:btih:3f2a9c1d7e6b5a4f3e2d1c0b9a8f7e6d5c4b3a29";

class OpenSelectedLinkTest : public testing::Test {
 public:
  void SetUp() override {
    keywordBox_.setParent(&window_);
    list_.setParent(&window_);
    keywordBox_.setGeometry(8, 8, 504, 24);
    list_.setGeometry(8, 40, 576, 256);
    keywordBox_.setText(QStringLiteral("速度与激情7"));
    window_.resize(600, 300);
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }

  void AddRow(const Text& name, const Text& magnet) {
    const int row = list_.AppendRow();
    list_.SetCellText(row, ResultList::kNameColumn, name);
    list_.SetCellText(row, ResultList::kMagnetColumn, magnet);
  }

  void Click(QPoint at) {
    QTest::mouseClick(list_.viewport(), Qt::LeftButton, {}, at);
    OpenSelectedLink(list_, keywordBox_);
  }
  QPoint RowPoint(int row) const { return list_.visualRect(list_.model()->index(row, 0)).center(); }
  QPoint EmptyPoint() const { return {20, list_.viewport()->height() - 5}; }

  RecordingOpener opener_;
  QWidget window_;
  QLineEdit keywordBox_;
  ResultList list_;
};

TEST_F(OpenSelectedLinkTest, SelectedRowsLinkGoesIntoTheBoxAndToTheOpener) {
  AddRow("first", "magnet:?xt=urn:btih:0000");
  AddRow("second", kMagnet);
  Click(RowPoint(1));
  EXPECT_EQ(FromWidgetText(keywordBox_.text()), kMagnet);
  EXPECT_EQ(keywordBox_.cursorPosition(), 0);
  ASSERT_EQ(opener_.started.size(), 1u);
  EXPECT_EQ(opener_.started[0].program, QStringLiteral("xdg-open"));
  EXPECT_EQ(opener_.started[0].arguments, QStringList{ToWidgetText(kMagnet)});
}

TEST_F(OpenSelectedLinkTest, NoLinkEmptiesTheBoxAndOpensNothing) {
  struct Case {
    const char* what;
    std::function<void(OpenSelectedLinkTest&)> prepare;
    std::function<QPoint(OpenSelectedLinkTest&)> click;
  };
  const Case cases[] = {
      {"click in an empty list", [](OpenSelectedLinkTest&) {}, [](OpenSelectedLinkTest& t) { return t.EmptyPoint(); }},
      {"click on empty space with a row selected",
       [](OpenSelectedLinkTest& t) {
         t.AddRow("one", kMagnet);
         t.Click(t.RowPoint(0));
       },
       [](OpenSelectedLinkTest& t) { return t.EmptyPoint(); }},
      {"row whose address is not written yet",
       [](OpenSelectedLinkTest& t) {
         t.AddRow("one", kMagnet);
         t.list_.AppendRow();
       },
       [](OpenSelectedLinkTest& t) { return t.RowPoint(1); }},
  };
  for (const Case& c : cases) {
    list_.ClearRows();
    c.prepare(*this);
    keywordBox_.setText(QStringLiteral("速度与激情7"));
    opener_.started.clear();
    Click(c.click(*this));
    EXPECT_EQ(keywordBox_.text(), QString()) << c.what;
    EXPECT_TRUE(opener_.started.empty()) << c.what;
  }
}

TEST_F(OpenSelectedLinkTest, WhatTheBoxHoldsIsWhatOpens) {
  // A link of code-page-936 text goes through the box and reaches the opener as Unicode.
  const Text link = "magnet:?dn=\xCB\xD9\xB6\xC8";
  AddRow("gbk", link);
  Click(RowPoint(0));
  EXPECT_EQ(keywordBox_.text(), QStringLiteral("magnet:?dn=速度"));
  ASSERT_EQ(opener_.started.size(), 1u);
  EXPECT_EQ(opener_.started[0].arguments, QStringList{QStringLiteral("magnet:?dn=速度")});
}

TEST(OpenAddress, TextIsTheOpenersOnlyArgumentAsItStands) {
  RecordingOpener opener;
  const Text texts[] = {kMagnet, "a b; rm -rf ~ $(id) `id` | cat > x", "-h", "'quoted' \"double\""};
  for (const Text& text : texts) OpenAddress(text);
  ASSERT_EQ(opener.started.size(), std::size(texts));
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    EXPECT_EQ(opener.started[i].program, QStringLiteral("xdg-open"));
    EXPECT_EQ(opener.started[i].arguments, QStringList{ToWidgetText(texts[i])});
  }
}

TEST(OpenAddress, EmptyTextOpensNothing) {
  RecordingOpener opener;
  OpenAddress("");
  EXPECT_TRUE(opener.started.empty());
}

TEST(OpenAddress, DetachedProgramGetsItsArgumentAndIsNeverOurChild) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString out = dir.filePath(QStringLiteral("argument"));
  const QString argument = QStringLiteral("a b; $(id) `id` | \"q\"");
  // The program outlives the start for a while: even then it is not ours to wait for.
  StartDetached(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("printf %s \"$1\" > \"$2\"; sleep 1"),
                                            QStringLiteral("sh"), argument, out});
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);

  QFile file(out);
  EXPECT_TRUE(QTest::qWaitFor([&] { return file.exists() && file.size() > 0; }, 5000));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(file.readAll()), argument);
}

}  // namespace
}  // namespace korvane
