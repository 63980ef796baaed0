#include "LayerTabs.h"

#include <QAbstractButton>

#include "ArtIds.h"
#include "CGdipButton.h"
#include "ParamBlock.h"
#include "Skin.h"

namespace orv {

LayerTabLook LayerTabsFor(const PvwModeInfo& mode, bool selectInDualMode) {
  LayerTabLook look;
  look.enabled.fill(true);
  if (mode.PVWMODE == 1) {
    for (int i = 0; i < 2; ++i) {
      if (mode.PGMSTATE[i]) {
        look.labels[i] = QStringLiteral("PGM");
        look.enabled[i] = false;
      } else if (mode.PVWSTATE[i]) {
        look.labels[i] = QStringLiteral("PVW");
        look.select = i;
      } else {
        look.labels[i] = i == 0 ? QStringLiteral("MAIN") : QStringLiteral("PIP-1");
      }
    }
    look.labels[2] = QStringLiteral("PIP2");
    look.labels[3] = QStringLiteral("PIP3");
    return look;
  }
  if (mode.PVWMODE == 2) {
    for (int i = 0; i < 4; ++i) {
      const QString pair = QString::number(i % 2 + 1);
      if (mode.PGMSTATE[i]) {
        look.labels[i] = QStringLiteral("PGM") + pair;
        look.enabled[i] = false;
      } else if (mode.PVWSTATE[i]) {
        look.labels[i] = QStringLiteral("PVW") + pair;
        if (selectInDualMode && i % 2 == 0) look.select = i;
      } else {
        look.labels[i] = i == 0 ? QStringLiteral("MAIN") : QStringLiteral("PIP-%1").arg(i);
      }
    }
    return look;
  }
  for (int i = 0; i < 4; ++i) {
    look.labels[i] = i == 0 ? QStringLiteral("MAIN") : QStringLiteral("PIP-%1").arg(i);
  }
  return look;
}

LayerTabRow::LayerTabRow(QWidget* page, int firstId, int left, int top,
                         std::function<void(int)> onSelect)
    : onSelect_(std::move(onSelect)) {
  for (int i = 0; i < 4; ++i) {
    auto* tab = new CGdipButton(page, firstId + i);
    tab->LoadImage(art::kFaceTab);
    tab->SetCaptionFont(skin::ArialFont(15, 700));
    tab->setGeometry(left + i * (kTabWidth + 4), top, kTabWidth, kTabHeight);
    tab->setText(i == 0 ? QStringLiteral("MAIN") : QStringLiteral("PIP-%1").arg(i));
    QObject::connect(tab, &QAbstractButton::clicked, tab, [this, i] {
      Select(i);
      if (onSelect_) onSelect_(i);
    });
    tabs_[static_cast<std::size_t>(i)] = tab;
  }
  Select(0);
}

void LayerTabRow::Select(int layer) {
  if (layer < 0 || layer > 3) return;
  selected_ = layer;
  for (int i = 0; i < 4; ++i) {
    CGdipButton* tab = tabs_[static_cast<std::size_t>(i)];
    tab->SetTextColor(i == layer ? skin::kOrange : skin::kText);
    tab->update();
  }
}

void LayerTabRow::Apply(const LayerTabLook& look) {
  for (int i = 0; i < 4; ++i) {
    CGdipButton* tab = tabs_[static_cast<std::size_t>(i)];
    tab->setText(look.labels[static_cast<std::size_t>(i)]);
    tab->setEnabled(look.enabled[static_cast<std::size_t>(i)]);
    tab->SetDisabledLook(!look.enabled[static_cast<std::size_t>(i)]);
    tab->update();
  }
}

}  // namespace orv
