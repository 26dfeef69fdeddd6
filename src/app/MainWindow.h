#pragma once
// The program's one window: the keyword box, the search button and the result list, and the
// wiring of their events.
#include <QWidget>

#include <functional>
#include <memory>

#include "search/SearchLauncher.h"
#include "text/Types.h"

class QLineEdit;
class QPushButton;
class QSocketNotifier;

namespace korvane {

class ControlPort;
class ResultList;
class WindowCalls;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  // The outer size, frame and caption included.
  static constexpr int kOuterWidth = 604;
  static constexpr int kOuterHeight = 339;
  static constexpr int kSkinNumber = 2;

  // Dresses the window in a skin; false when start-up must stop.
  using SkinHook = std::function<bool(int skinNumber)>;

  // Creates the window hidden, centred, with its controls; then raises the creation event, which
  // dresses the window with `applySkin` (the program's ApplySkin unless a test passes another).
  // Searches go to `siteBase`; the program always uses the site it was built for.
  explicit MainWindow(SkinHook applySkin = {}, Text siteBase = {});
  ~MainWindow() override;

  // Whether the creation event dressed the window; the program stops when it did not.
  bool SkinApplied() const { return skinApplied_; }

  ResultList& List() const { return *list_; }
  QPushButton& SearchButton() const;
  QLineEdit& KeywordBox() const;

  // The controls as other threads reach them. A search may hold it past the window: once the
  // window has closed, every call is refused at once.
  std::shared_ptr<ControlPort> Port() const { return port_; }
  // Callers waiting for the window's thread (for tests of closing).
  std::size_t WaitingCalls() const;

  // Top-left corner of the outer frame that centres the window on a screen of this size, by
  // integer division toward zero.
  static QPoint CentredOrigin(QSize screen);
  // The client size that makes the outer size 604 × 339 with this frame.
  static QSize ClientSize(QMargins frame);

 protected:
  // The event handlers, one per event that the window answers. OnSearchClicked empties the list;
  // a search, when one is started, is started from here with Port() before the list is emptied.
  virtual void OnSearchClicked();
  virtual void OnListClicked();
  virtual void OnColumnClick(int column);

  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Once the platform reports the frame, shrink the client so that the outer size stays fixed.
  void FitToFrame();

  std::unique_ptr<ResultList> list_;
  std::unique_ptr<QPushButton> button_;
  std::unique_ptr<QLineEdit> keywordBox_;
  std::shared_ptr<WindowCalls> calls_;
  std::unique_ptr<QSocketNotifier> callNotifier_;
  std::shared_ptr<ControlPort> port_;
  bool skinApplied_ = false;
  Text siteBase_;
  SearchLauncher searches_;
  // Counts the searches started; a search's rows are taken only while it is the newest.
  std::uint64_t searchGeneration_ = 0;
};

}  // namespace korvane
