#pragma once
// A test fixture with one QApplication for the suite, on the offscreen platform unless the
// environment names another.

#include <QApplication>
#include <QByteArray>

#include <gtest/gtest.h>

#include <memory>

namespace korvane::testing {

class QtApplicationTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  static void TearDownTestSuite() { app_.reset(); }

 private:
  static inline int argc_ = 1;
  static inline char name_[] = "korvane-test";
  static inline char* argv_[] = {name_, nullptr};
  static inline std::unique_ptr<QApplication> app_;
};

}  // namespace korvane::testing
