#include "LinkIndicator.h"

#include <algorithm>

#include <QPainter>

#include "AppTexts.h"
#include "ControlId.h"
#include "Skin.h"

namespace orv {

namespace {

enum class Lamp { Off, Good, Warning, Bad };

struct PhaseLook {
  LinkPhase phase;
  Lamp lamp;
};

constexpr PhaseLook kLooks[] = {
    {LinkPhase::Idle, Lamp::Off},      {LinkPhase::Connected, Lamp::Good},
    {LinkPhase::Probing, Lamp::Good},  {LinkPhase::Lost, Lamp::Bad},
    {LinkPhase::Reopening, Lamp::Bad}, {LinkPhase::Resyncing, Lamp::Warning},
    {LinkPhase::Closed, Lamp::Off},
};

Lamp LampOf(LinkPhase phase) {
  for (const PhaseLook& look : kLooks) {
    if (look.phase == phase) return look.lamp;
  }
  return Lamp::Off;
}

QColor ColourOf(Lamp lamp) {
  switch (lamp) {
    case Lamp::Good:
      return QColor(60, 200, 90);
    case Lamp::Warning:
      return skin::kOrange;
    case Lamp::Bad:
      return QColor(230, 50, 40);
    case Lamp::Off:
      break;
  }
  return QColor(110, 110, 110);
}

// The built-in processor of offline mode: never to be taken for a wall.
const QColor kOfflineColour(70, 150, 255);

QString Who(const LinkTarget& target) {
  const QString where = QString::fromStdString(target.Where());
  if (target.offline) return AppTextOf(AppText::kOfflineWho) + QStringLiteral("  ") + where;
  if (target.name.empty()) return where;
  return QString::fromStdString(target.name) + QStringLiteral("  ") + where;
}

}  // namespace

QString LinkStateText(const LinkStatus& status, const QTime& reconnectedAt) {
  const QString who = Who(status.target);
  switch (status.phase) {
    case LinkPhase::Idle:
      return AppTextOf(AppText::kLinkNone);
    case LinkPhase::Connected:
    case LinkPhase::Probing:
      if (status.target.offline) {
        return AppTextOf(AppText::kOfflineLink).arg(QString::fromStdString(status.target.Where()));
      }
      if (status.reconnectedAtMs >= 0 && reconnectedAt.isValid()) {
        return AppTextOf(AppText::kLinkReconnected)
            .arg(who, reconnectedAt.toString(QStringLiteral("HH:mm:ss")));
      }
      return AppTextOf(AppText::kLinkConnected).arg(who);
    case LinkPhase::Lost:
    case LinkPhase::Reopening:
    case LinkPhase::Resyncing:
      return AppTextOf(AppText::kLinkReconnecting).arg(who).arg(std::max(status.attempt, 1));
    case LinkPhase::Closed:
      return AppTextOf(AppText::kLinkClosed).arg(who);
  }
  return {};
}

LinkIndicator::LinkIndicator(QWidget* parent) : QWidget(parent) {
  SetControlId(this, kControlId);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  text_ = LinkStateText(status_, reconnectedAt_);
}

void LinkIndicator::Show(const LinkStatus& status) {
  if (status.reconnectedAtMs < 0) {
    reconnectedAt_ = QTime();
  } else if (status.reconnectedAtMs != reconnectSeen_) {
    reconnectedAt_ = QTime::currentTime();
  }
  reconnectSeen_ = status.reconnectedAtMs;
  status_ = status;
  text_ = LinkStateText(status_, reconnectedAt_);
  setToolTip(text_);
  update();
}

void LinkIndicator::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const Lamp lamp = LampOf(status_.phase);
  const QColor colour =
      status_.target.offline && lamp == Lamp::Good ? kOfflineColour : ColourOf(lamp);
  p.fillRect(rect(), skin::kPageBack);
  p.setPen(colour);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  const int dot = height() / 2;
  p.setBrush(colour);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QRect(6, (height() - dot) / 2, dot, dot));
  p.setPen(status_.Down() || status_.target.offline ? colour : skin::kText);
  p.setFont(skin::ControlFont());
  const QRect textRect = rect().adjusted(12 + dot, 0, -4, 0);
  p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
             p.fontMetrics().elidedText(text_, Qt::ElideRight, textRect.width()));
}

}  // namespace orv
