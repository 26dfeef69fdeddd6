#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cstdio>

#include "skin/ApplySkin.h"

namespace korvane {

void ReportSkinFailure(const std::string& message) {
  std::fprintf(stderr, "korvane: %s\n", message.c_str());
  std::fflush(stderr);
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  QMessageBox::critical(nullptr, QStringLiteral("Korvane"),
                        QStringLiteral("皮肤库无法加载，程序不能启动。") + QStringLiteral("\n\n") +
                            QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
}

}  // namespace korvane
