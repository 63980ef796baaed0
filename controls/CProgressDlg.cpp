#include "CProgressDlg.h"

#include <algorithm>
#include <iterator>

#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QStringList>

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
    // The lines are broken here (BreakIntoLines), not by the label, whose
    // wrapping would split a Chinese word at the column's edge.
    message_->setWordWrap(false);
    message_->setFont(skin::ArialFont(15, 700));
    message_->setGeometry(MessageRect(size()));
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

QRect CProgressDlg::MessageRect(QSize client) {
  const int margin = client.width() / 12;
  const int top = client.height() / 3;
  return QRect(margin, top, client.width() - 2 * margin, client.height() / 2);
}

namespace {

// A line may end after a blank, a closing mark, a dash or other punctuation
// (the full-width ，。、；：！？ included), never after an opening one.
bool BreaksAfter(QChar c) {
  if (c.isSpace()) return true;
  constexpr QChar::Category kClosing[] = {QChar::Punctuation_Close, QChar::Punctuation_FinalQuote,
                                          QChar::Punctuation_Other, QChar::Punctuation_Dash};
  return std::find(std::begin(kClosing), std::end(kClosing), c.category()) != std::end(kClosing);
}

}  // namespace

QString CProgressDlg::BreakIntoLines(const QString& text, const QFontMetrics& metrics, int width) {
  QStringList lines;
  for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
    QString rest = paragraph;
    while (metrics.horizontalAdvance(rest) > width && rest.size() > 1) {
      // The longest head that fits, at least one whole character.
      int fit = 0;
      int preferred = 0;
      for (int i = 0; i < rest.size();) {
        const int next = i + (rest.at(i).isHighSurrogate() && i + 1 < rest.size() ? 2 : 1);
        if (fit > 0 && metrics.horizontalAdvance(rest.left(next)) > width) break;
        fit = next;
        if (BreaksAfter(rest.at(i)) && !rest.left(next).trimmed().isEmpty()) preferred = next;
        i = next;
      }
      const int cut = preferred > 0 ? preferred : fit;
      lines << rest.left(cut).trimmed();
      rest = rest.mid(cut);
      while (!rest.isEmpty() && rest.front().isSpace()) rest.remove(0, 1);
    }
    lines << rest;
  }
  return lines.join(QLatin1Char('\n'));
}

void CProgressDlg::SetMessageText(const QString& text) {
  InitDialog();
  message_->setText(BreakIntoLines(text, QFontMetrics(message_->font()), message_->width()));
  messageText_ = text;
}

QString CProgressDlg::MessageText() const {
  return message_ ? messageText_ : QString();
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
