#pragma once
// A control port for searches in tests: it hands out keywords in turn (the last one stays) and
// records the rows it is given. Safe to read from the test's thread while a search writes.
#include <algorithm>
#include <mutex>
#include <vector>

#include "search/ControlPort.h"

namespace korvane::testing {

class KeywordPort : public ControlPort {
 public:
  explicit KeywordPort(std::vector<Text> keywords) : keywords_(std::move(keywords)) {}
  explicit KeywordPort(Text keyword) : keywords_{std::move(keyword)} {}

  Text ReadKeyword() override {
    std::lock_guard lock(mutex_);
    const auto i = std::min(reads_++, keywords_.size() - 1);
    return keywords_[i];
  }
  void ClearRows() override {}
  int AppendRow() override { return -1; }
  void SetCellText(int, int, const Text&) override {}
  int AppendResultRow(const ResultRow& row) override {
    std::lock_guard lock(mutex_);
    rows_.push_back(row);
    return static_cast<int>(rows_.size()) - 1;
  }
  std::vector<ResultRow> Rows() {
    std::lock_guard lock(mutex_);
    return rows_;
  }

 private:
  std::mutex mutex_;
  std::vector<Text> keywords_;
  std::size_t reads_ = 0;
  std::vector<ResultRow> rows_;
};

}  // namespace korvane::testing
