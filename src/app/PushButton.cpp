#include "app/PushButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace korvane {

PushButton::PushButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
  setAutoDefault(false);
  setDefault(false);
}

void PushButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  const QString caption = option.text;
  // The style draws the bevel and the focus frame; the caption is drawn here so that it can wrap.
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);

  QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  if (option.state & (QStyle::State_Sunken | QStyle::State_On)) {
    area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                   style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  }
  painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, option.palette,
                       option.state & QStyle::State_Enabled, caption, QPalette::ButtonText);
}

}  // namespace korvane
