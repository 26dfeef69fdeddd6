#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSocketNotifier>
#include <QWindow>

#include <algorithm>

#include "app/EditBox.h"
#include "app/PushButton.h"
#include "app/WindowCalls.h"
#include "app/WindowControlPort.h"
#include "resultlist/ColumnSort.h"
#include "resultlist/OpenSelectedLink.h"
#include "resultlist/ResultList.h"
#include "search/SiteBase.h"
#include "skin/ApplySkin.h"

namespace korvane {

MainWindow::MainWindow(SkinHook applySkin, Text siteBase)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(QStringLiteral("Korvane电影资源搜索（磁力链接）工具 By Zimbrel"));
  setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
  QPalette face = palette();
  face.setBrush(QPalette::Window, face.brush(QPalette::Button));
  setPalette(face);
  setAutoFillBackground(true);

  // Until the platform reports a frame, the client takes the whole outer size.
  setFixedSize(ClientSize({}));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) move(CentredOrigin(screen->geometry().size()));

  // Created in this order, which is also the tab order.
  list_ = std::make_unique<ResultList>(this);
  list_->setObjectName(QStringLiteral("超级列表框1"));
  list_->setGeometry(8, 40, 576, 256);

  button_ = std::make_unique<PushButton>(QStringLiteral("搜索"), this);
  button_->setObjectName(QStringLiteral("按钮1"));
  button_->setGeometry(528, 8, 56, 25);

  keywordBox_ = std::make_unique<EditBox>(QStringLiteral("速度与激情7"), this);
  keywordBox_->setObjectName(QStringLiteral("编辑框1"));
  keywordBox_->setGeometry(8, 8, 504, 24);

  for (QWidget* control : {static_cast<QWidget*>(list_.get()), static_cast<QWidget*>(button_.get()),
                           static_cast<QWidget*>(keywordBox_.get())}) {
    control->setFocusPolicy(Qt::StrongFocus);
  }

  calls_ = std::make_shared<WindowCalls>();
  if (calls_->WakeHandle() >= 0) {
    callNotifier_ = std::make_unique<QSocketNotifier>(calls_->WakeHandle(), QSocketNotifier::Read);
    connect(callNotifier_.get(), &QSocketNotifier::activated, this, [this] { calls_->RunPending(); });
  }
  port_ = std::make_shared<WindowControlPort>(calls_, *list_, *keywordBox_);

  connect(button_.get(), &QPushButton::clicked, this, [this] { OnSearchClicked(); });
  connect(list_.get(), &ResultList::ItemAreaClicked, this, [this] { OnListClicked(); });
  connect(list_->header(), &QHeaderView::sectionClicked, this, [this](int column) { OnColumnClick(column); });

  siteBase_ = siteBase.empty() ? Text(SearchSiteBase) : std::move(siteBase);

  // The creation event: the window and its controls exist, nothing is shown yet.
  skinApplied_ = applySkin ? applySkin(kSkinNumber) : ApplySkin(kSkinNumber);
}

MainWindow::~MainWindow() {
  // No call from another thread may reach the controls once they start to go.
  calls_->Close();
}

QPushButton& MainWindow::SearchButton() const { return *button_; }

QLineEdit& MainWindow::KeywordBox() const { return *keywordBox_; }

std::size_t MainWindow::WaitingCalls() const { return calls_->Waiting(); }

QPoint MainWindow::CentredOrigin(QSize screen) {
  // C++ integer division truncates toward zero, as the formula wants for screens smaller than
  // the window.
  return {(screen.width() - kOuterWidth) / 2, (screen.height() - kOuterHeight) / 2};
}

QSize MainWindow::ClientSize(QMargins frame) {
  return {std::max(0, kOuterWidth - frame.left() - frame.right()),
          std::max(0, kOuterHeight - frame.top() - frame.bottom())};
}

void MainWindow::OnSearchClicked() {
  // A new search replaces the one running: the older one stops at its next step, and whatever it
  // still hands over after this click is refused on this thread, so no row of it follows the
  // emptying below.
  const std::uint64_t generation = ++searchGeneration_;
  auto port = std::make_unique<WindowControlPort>(calls_, *list_, *keywordBox_,
                                                  [this, generation] { return searchGeneration_ == generation; });
  searches_.Start(std::move(port), FetchPage, siteBase_);
  list_->ClearRows();
}

void MainWindow::OnListClicked() { OpenSelectedLink(*list_, *keywordBox_); }

void MainWindow::OnColumnClick(int) {
  // Whatever header was clicked, the rows are sorted by their dates as text.
  SortListByColumn(*list_, ResultList::kDateColumn, kSortText);
}

bool MainWindow::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::WindowActivate:
      FitToFrame();
      break;
    default:
      break;
  }
  return handled;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Closing is final: threads waiting on the window are let go now rather than never.
  calls_->Close();
  event->accept();
}

void MainWindow::FitToFrame() {
  const QWindow* window = windowHandle();
  if (!window) return;
  const QSize client = ClientSize(window->frameMargins());
  if (client != size()) setFixedSize(client);
}

}  // namespace korvane
