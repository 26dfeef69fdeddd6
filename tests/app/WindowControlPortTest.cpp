#include "app/WindowControlPort.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/MainWindow.h"
#include "resultlist/ResultList.h"
#include "search/ResultRow.h"

namespace korvane {
namespace {

using namespace std::chrono_literals;

bool NoSkin(int) { return true; }

// "速度与激情7" in code page 936.
const Text kDefaultKeyword = "\xCB\xD9\xB6\xC8\xD3\xEB\xBC\xA4\xC7\xE9" "7";

ResultRow Row(const std::string& tag) { return {tag + " name", tag + " size", tag + " files", tag + " date", tag + " magnet"}; }

// Runs `work` on a thread of its own while this (the window's) thread keeps its event loop going.
template <class Work>
auto OnWorker(Work work) {
  auto result = std::async(std::launch::async, std::move(work));
  EXPECT_TRUE(QTest::qWaitFor([&] { return result.wait_for(0s) == std::future_status::ready; }, 10'000));
  return result.get();
}

class WindowControlPortTest : public testing::Test {
 public:
  void SetUp() override {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }

  MainWindow window_{NoSkin};
};

TEST_F(WindowControlPortTest, WorkerReadsTheKeywordAndWritesRows) {
  ResultList& list = window_.List();
  list.AppendRow();  // left from an earlier search
  const std::shared_ptr<ControlPort> port = window_.Port();
  const Text keyword = OnWorker([port] {
    port->ClearRows();
    Text seen = port->ReadKeyword();
    for (const char* tag : {"a", "b"}) port->AppendResultRow(Row(tag));
    const int row = port->AppendRow();
    const ResultRow cells = Row("c");
    const Text texts[] = {cells.name, cells.size, cells.files, cells.date, cells.magnet};
    for (int column = 0; column < ResultList::kColumnCount; ++column) port->SetCellText(row, column, texts[column]);
    port->SetCellText(row + 1, 0, "no such row");
    return seen;
  });
  EXPECT_EQ(keyword, kDefaultKeyword);
  ASSERT_EQ(list.RowCount(), 3);
  for (int row = 0; row < 3; ++row) {
    const ResultRow expected = Row(std::string(1, static_cast<char>('a' + row)));
    const ResultRow actual{list.GetCellText(row, 0), list.GetCellText(row, 1), list.GetCellText(row, 2),
                           list.GetCellText(row, 3), list.GetCellText(row, 4)};
    EXPECT_EQ(actual, expected) << row;
  }
}

TEST_F(WindowControlPortTest, KeywordIsReadAsTheBoxShowsItThen) {
  const std::shared_ptr<ControlPort> port = window_.Port();
  window_.KeywordBox().setText(QStringLiteral("Furious 7 速度"));
  EXPECT_EQ(OnWorker([port] { return port->ReadKeyword(); }), "Furious 7 \xCB\xD9\xB6\xC8");
  window_.KeywordBox().setText(QString());
  EXPECT_EQ(OnWorker([port] { return port->ReadKeyword(); }), "");
}

TEST_F(WindowControlPortTest, CallsFromTheWindowThreadRunAtOnce) {
  const std::shared_ptr<ControlPort> port = window_.Port();
  EXPECT_EQ(port->AppendResultRow(Row("here")), 0);
  EXPECT_EQ(port->AppendRow(), 1);
  port->SetCellText(1, ResultList::kDateColumn, "2015");
  EXPECT_EQ(window_.List().GetCellText(1, ResultList::kDateColumn), "2015");
  EXPECT_EQ(port->ReadKeyword(), kDefaultKeyword);
  port->ClearRows();
  EXPECT_EQ(window_.List().RowCount(), 0);
}

// Two searches write at once while the window empties the list now and then: every row stays
// whole, and what is left of each search's rows is an unbroken run of its last rows.
TEST_F(WindowControlPortTest, WholeRowsStayWholeBetweenConcurrentWriters) {
  constexpr int kRowsEach = 400;
  const std::shared_ptr<ControlPort> port = window_.Port();
  std::atomic<int> finished{0};
  std::vector<std::thread> writers;
  for (const char* tag : {"A", "B"}) {
    writers.emplace_back([port, tag, &finished] {
      for (int i = 0; i < kRowsEach; ++i) port->AppendResultRow(Row(tag + std::to_string(i)));
      ++finished;
    });
  }
  int clears = 0;
  while (finished < 2) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (finished == 0 && window_.List().RowCount() > 150 && clears < 3) {
      window_.List().ClearRows();
      ++clears;
    }
  }
  for (std::thread& writer : writers) writer.join();

  ResultList& list = window_.List();
  EXPECT_GT(list.RowCount(), 0);
  int last[2] = {-1, -1};
  for (int row = 0; row < list.RowCount(); ++row) {
    const Text name = list.GetCellText(row, 0);
    const Text tag = name.substr(0, name.find(' '));
    ASSERT_EQ(list.GetCellText(row, 1), tag + " size") << row;
    ASSERT_EQ(list.GetCellText(row, 2), tag + " files") << row;
    ASSERT_EQ(list.GetCellText(row, 3), tag + " date") << row;
    ASSERT_EQ(list.GetCellText(row, 4), tag + " magnet") << row;
    const int writer = tag[0] == 'A' ? 0 : 1;
    const int number = std::stoi(tag.substr(1));
    if (last[writer] >= 0) {
      EXPECT_EQ(number, last[writer] + 1) << row;
    }
    last[writer] = number;
  }
  for (const int lastNumber : last) {
    if (lastNumber >= 0) {
      EXPECT_EQ(lastNumber, kRowsEach - 1);
    }
  }
}

// A worker waits on the window's thread, which is busy; then the window goes. The worker is let go
// at once, and every later call answers without waiting and without touching a control.
TEST(WindowControlPortEnd, WindowGoingAwayReleasesAWaitingWorker) {
  struct Case {
    const char* what;
    void (*end)(std::unique_ptr<MainWindow>&);
  };
  const Case cases[] = {
      {"closed", [](std::unique_ptr<MainWindow>& window) { window->close(); }},
      {"destroyed", [](std::unique_ptr<MainWindow>& window) { window.reset(); }},
  };
  for (const Case& c : cases) {
    auto window = std::make_unique<MainWindow>(NoSkin);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const MainWindow* observed = window.get();
    const std::shared_ptr<ControlPort> port = window->Port();
    auto worker = std::async(std::launch::async, [port] {
      const int first = port->AppendRow();
      return std::vector<int>{first, port->AppendResultRow(Row("late")), static_cast<int>(port->ReadKeyword().size())};
    });
    // Not answering: this thread runs no events until the worker is seen waiting.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (observed->WaitingCalls() == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
    ASSERT_EQ(observed->WaitingCalls(), 1u) << c.what;
    EXPECT_EQ(window->List().RowCount(), 0) << c.what;

    c.end(window);
    ASSERT_EQ(worker.wait_for(10s), std::future_status::ready) << c.what;
    EXPECT_EQ(worker.get(), (std::vector<int>{-1, -1, 0})) << c.what;
    if (window) {
      EXPECT_EQ(window->List().RowCount(), 0) << c.what;
    }
  }
}

}  // namespace
}  // namespace korvane
