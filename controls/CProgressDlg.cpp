#include "CProgressDlg.h"

#include <QIcon>
#include <QLabel>
#include <QPixmap>

#include "CPictureEx.h"
#include "ControlId.h"
#include "Dpi.h"
#include "ResourceRegistry.h"
#include "Skin.h"

namespace orv {

namespace {
// Dialog base units of "MS Shell Dlg" 8 at 96 DPI: a dialog unit is a quarter
// of the average character width and an eighth of the character height.
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;
constexpr int kTemplateWidthDu = 255;
constexpr int kTemplateHeightDu = 95;
}  // namespace

CProgressDlg::CProgressDlg(QWidget* parent) : QDialog(parent) {
  SetControlId(this, kTemplateId);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint);
  setFixedSize(TemplateClientSize());
  QPalette pal = palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    pal.setColor(group, QPalette::Window, skin::kWaitBack);  // dialog brush
    pal.setColor(group, QPalette::Button, skin::kWaitBack);  // animation background
    pal.setColor(group, QPalette::WindowText, skin::kText);  // static texts
    pal.setColor(group, QPalette::Base, skin::kPageBack);    // edit brush
    pal.setColor(group, QPalette::Text, skin::kText);
  }
  setPalette(pal);
  setAutoFillBackground(true);
}

CProgressDlg::~CProgressDlg() = default;

QSize CProgressDlg::TemplateClientSize() {
  return QSize(ScaleX(kTemplateWidthDu * kBaseUnitX / 4),
               ScaleY(kTemplateHeightDu * kBaseUnitY / 8));
}

bool CProgressDlg::InitDialog() {
  if (initialised_) return true;
  initialised_ = true;
  const int w = width();
  const int h = height();
  const int a = w / 3;
  const int b = h / 3;
  if (!message_) {
    message_ = new QLabel(QStringLiteral("TEST"), this);
    SetControlId(message_, kMessageId);
    message_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    message_->setWordWrap(true);
    message_->setFont(skin::ArialFont(15, 700));
    message_->setGeometry(a, b, a, h / 2);
    message_->show();
  }
  if (!animation_) {
    animation_ = new CPictureEx(this, kAnimationId);
    animation_->setGeometry(a, b - 30, a, 25);
    animation_->show();
  }
  if (!animation_->Prepared() && animation_->Load(kAnimationResource)) animation_->Draw();
  return true;
}

void CProgressDlg::SetMessageText(const QString& text) {
  InitDialog();
  message_->setText(text);
}

QString CProgressDlg::MessageText() const {
  return message_ ? message_->text() : QString();
}

QWidget* CProgressDlg::MessageControl() const {
  return message_;
}

bool Orv_PrograssDlg::InitDialog() {
  const QImage icon = LoadResourceImage(art::ArtType::Icon, art::kAppIcon);
  if (!icon.isNull()) setWindowIcon(QIcon(QPixmap::fromImage(icon)));
  return CProgressDlg::InitDialog();
}

}  // namespace orv
