#include "WaitBox.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>

#include "CProgressDlg.h"

namespace orv {

WaitBox::WaitBox(QWidget* owner, std::function<void(bool)> setBusy, std::function<void()> timedOut)
    : owner_(owner),
      setBusy_(std::move(setBusy)),
      timedOut_(std::move(timedOut)),
      // Parented to the owner so that it stays above it; the owner disables
      // its content, never itself, so the box stays enabled.
      box_(std::make_unique<Orv_PrograssDlg>(owner)) {
  box_->InitDialog();
  box_->setModal(false);
  box_->installEventFilter(this);
}

WaitBox::~WaitBox() {
  KillTimer(kTimeoutTimerId);
}

void WaitBox::Show(const QString& text) {
  if (setBusy_) setBusy_(true);
  box_->SetMessageText(text);
  if (!shown_) {
    shown_ = true;
    Centre();
    box_->show();
  }
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) box_->raise();
  KeepModalBoxOnTop();
  SetTimer(kTimeoutTimerId, timeoutMs_);
}

void WaitBox::Hide() {
  KillTimer(kTimeoutTimerId);
  if (setBusy_) setBusy_(false);
  // Back to the top of the stacking order (the offscreen platform of the
  // tests has none and would only complain).
  if (owner_ != nullptr && QGuiApplication::platformName() != QLatin1String("offscreen")) {
    owner_->raise();
  }
  KeepModalBoxOnTop();
  if (!shown_) return;
  shown_ = false;
  box_->hide();
}

// A message box the operator has not answered yet (one shown while the device
// works, say) stays above the wait box and the window, and keeps the focus.
void WaitBox::KeepModalBoxOnTop() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || modal == box_.get()) return;
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) modal->raise();
  modal->activateWindow();
}

QString WaitBox::Text() const {
  return box_->MessageText();
}

void WaitBox::OnTimer(uint32_t id) {
  if (id != kTimeoutTimerId) return;
  Hide();
  if (timedOut_) timedOut_();
}

void WaitBox::Centre() {
  if (owner_ == nullptr) return;
  const QRect frame = owner_->frameGeometry();
  const QSize size = box_->frameGeometry().size();
  box_->move(frame.center() - QPoint(size.width() / 2, size.height() / 2));
}

bool WaitBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == box_.get()) {
    // Escape and the frame's close button would hide the box while the
    // window behind it stays disabled: only Hide() ends it.
    if (event->type() == QEvent::Close && shown_) {
      event->ignore();
      return true;
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace orv
