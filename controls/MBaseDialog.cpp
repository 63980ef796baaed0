#include "MBaseDialog.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QPainter>

#include "CGdipButton.h"
#include "CMemuDC.h"
#include "ControlId.h"
#include "MessageIds.h"
#include "ResourceRegistry.h"
#include "Skin.h"

namespace orv {

namespace {
constexpr int kTitleButtonSize = 24;
const QColor kTitleTopStart(83, 83, 83);
const QColor kTitleTopEnd(47, 47, 47);
const QColor kTitleBottomStart(23, 23, 23);
const QColor kTitleBottomEnd(7, 7, 7);
}  // namespace

MBaseDialog::MBaseDialog(int templateId, QWidget* parent, bool notifyOnClose)
    : QWidget(parent),
      templateId_(templateId),
      notifyOnClose_(notifyOnClose),
      fontTemplate_(skin::DefaultDialogFont()) {
  SetControlId(this, templateId);
  setVisible(false);
}

MBaseDialog::~MBaseDialog() = default;

bool MBaseDialog::Create() {
  if (created_) return createResult_;
  created_ = true;
  createResult_ = OnInitDialog();
  return createResult_;
}

bool MBaseDialog::OnInitDialog() {
  titleFont_ = skin::TitleFont();
  controlFont_ = skin::ControlFont();
  fontTemplate_ = skin::FontTemplate();
  // The edit and static brushes of the skin, for every plain child control.
  setPalette(skin::DarkPalette());
  setFont(controlFont_);
  return true;
}

void MBaseDialog::ShowPage(bool show) {
  setVisible(show);
}

void MBaseDialog::ReloadTexts() {}

void MBaseDialog::ClosePage() {
  ShowPage(false);
  if (notifyOnClose_) PostMsg(NotifyWindow(this), UM_PAGE_CLOSED, 0, 0);
}

void MBaseDialog::ToggleMaximise() {
  if (!isWindow()) return;
  if (maximised_) {
    showMaximized();
  } else {
    showNormal();
  }
}

void MBaseDialog::CreateTitleButtons(bool second) {
  if (!closeButton_) {
    closeButton_ = new CGdipButton(this, kCloseButtonId);
    closeButton_->LoadImage(art::kTitleClose);
    connect(closeButton_, &QAbstractButton::clicked, this, [this] { ClosePage(); });
    closeButton_->show();
  }
  if (second && !secondButton_) {
    secondButton_ = new CGdipButton(this, kSecondTitleButtonId);
    secondButton_->LoadImage(art::kTitleMaximise);
    secondButton_->LoadAltImage(art::kTitleRestore);
    secondToggleMode_ = true;
    maximised_ = false;
    connect(secondButton_, &QAbstractButton::clicked, this, [this] { ToggleMaximise(); });
    secondButton_->show();
    secondButton_->update();
  }
  PlaceTitleButtons();
}

void MBaseDialog::PlaceTitleButtons() {
  const int right = width();
  if (closeButton_) {
    closeButton_->setGeometry(right - kTitleButtonSize, 1, kTitleButtonSize, kTitleButtonSize);
  }
  if (secondButton_) {
    secondButton_->setGeometry(right - 56, 1, kTitleButtonSize, kTitleButtonSize);
  }
}

void MBaseDialog::ApplyControlFont() {
  for (QObject* child : children()) {
    if (child->isWidgetType()) {
      auto* w = static_cast<QWidget*>(child);
      w->setFont(controlFont_);
      w->update();
    }
  }
}

void MBaseDialog::SetTitleText(const QString& text) {
  titleText_ = text;
  update(0, 0, width(), kTitleHeight);
}

QWidget* MBaseDialog::Control(int id) const {
  return FindControl(this, id);
}

bool MBaseDialog::SetControlText(int id, const QString& text) {
  return orv::SetControlText(this, id, text);
}

void MBaseDialog::PaintBackground(QPainter& p) {
  if (!backgroundLoaded_) {
    backgroundLoaded_ = true;
    background_ = LoadResourceImage(art::ArtType::Bitmap, art::kPageBackground);
  }
  // Without the picture the background is left as it was.
  if (background_.isNull()) return;
  p.drawImage(rect(), background_);
}

void MBaseDialog::PaintTitle(QPainter& p, const QString& text) {
  const QRect band(0, 0, width(), kTitleHeight);
  const int half = kTitleHeight / 2;
  skin::FillVerticalGradient(p, QRect(0, 0, band.width(), half), kTitleTopStart, kTitleTopEnd);
  skin::FillVerticalGradient(p, QRect(0, half, band.width(), kTitleHeight - half),
                             kTitleBottomStart, kTitleBottomEnd);
  p.setFont(titleFont_);
  p.setPen(skin::kOrange);
  p.drawText(band, Qt::AlignCenter | Qt::TextSingleLine, text);
}

void MBaseDialog::PaintPage(QPainter&) {}

void MBaseDialog::paintEvent(QPaintEvent*) {
  QPainter target(this);
  CMemuDC dc(target, rect(), true);
  PaintBackground(dc);
  PaintTitle(dc, titleText_);
  PaintPage(dc);
}

void MBaseDialog::resizeEvent(QResizeEvent* event) {
  PlaceTitleButtons();
  QWidget::resizeEvent(event);
}

void MBaseDialog::showEvent(QShowEvent* event) {
  // A hidden page gets its resize events only when shown.
  PlaceTitleButtons();
  QWidget::showEvent(event);
}

intptr_t MBaseDialog::OnMessage(const Message&) {
  return 0;
}

void MBaseDialog::OnTimer(uint32_t) {}

bool MBaseDialog::PreTranslateKey(QKeyEvent* event) {
  return PageKeyPreTranslate(this, event);
}

void MBaseDialog::keyPressEvent(QKeyEvent* event) {
  // Enter and Escape that no child took end here: they neither press a
  // default button nor close a dialog the page sits in.
  if (PreTranslateKey(event)) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void MBaseDialog::WatchKeys(QObject* object) {
  if (!object->isWidgetType()) return;
  object->installEventFilter(this);
  for (QObject* child : object->children()) WatchKeys(child);
}

bool MBaseDialog::event(QEvent* event) {
  if (event->type() == QEvent::ChildAdded) {
    WatchKeys(static_cast<QChildEvent*>(event)->child());
  }
  return QWidget::event(event);
}

bool MBaseDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ChildAdded) {
    WatchKeys(static_cast<QChildEvent*>(event)->child());
  } else if (IsKeyUp(event) && watched->isWidgetType() &&
             static_cast<QWidget*>(watched)->window() == window()) {
    // Before the control sees it, as the desktop toolkit's pre-translation
    // does; offered once and then consumed, so it is never offered twice.
    PreTranslateKey(static_cast<QKeyEvent*>(event));
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void MBaseDialog::keyReleaseEvent(QKeyEvent* event) {
  // A key-up is offered to the window above once and goes no further, so a
  // shortcut of the main window never fires twice.
  PreTranslateKey(event);
  event->accept();
}

}  // namespace orv
