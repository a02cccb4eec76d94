#include "app/Unit1Editor.h"

#include <QCloseEvent>

namespace pelnor {

TAccountEditorWindow::TAccountEditorWindow() : QWidget(nullptr, Qt::Dialog | Qt::Tool) {
  setWindowTitle(QStringLiteral("ｱｶｳﾝﾄ設定"));
  setFixedSize(477, 398);
}

void TAccountEditorWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (OnClosed) OnClosed();
}

}  // namespace pelnor
