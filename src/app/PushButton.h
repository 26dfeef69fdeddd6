#pragma once
// A push button whose caption is centred and wraps onto further lines when it is wider than the
// button; never the window's default button.
#include <QPushButton>

namespace korvane {

class PushButton : public QPushButton {
 public:
  explicit PushButton(const QString& caption, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace korvane
