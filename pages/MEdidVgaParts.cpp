#include "MEdidVgaParts.h"

#include <QLabel>

#include "ArtIds.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "ControlId.h"
#include "PageWidgets.h"
#include "oRealEdit.h"

namespace orv::edidvga {

// The common page controls; these pages name them shorter.
CSxGroupBox* MakeGroup(QWidget* page, int id, const QString& caption, const QRect& where) {
  return MakePageGroup(page, id, caption, where);
}

QLabel* MakeLabel(QWidget* page, int id, const QString& caption, const QRect& where) {
  return MakePageLabel(page, id, caption, where);
}

CGdipButton* MakeButton(QWidget* page, int id, const QString& caption, const QRect& where) {
  return MakePageButton(page, id, caption, where);
}

CGdipButton* MakeSwitch(QWidget* page, int id, const QRect& where) {
  auto* button = new CGdipButton(page, id);
  button->LoadImage(art::kFaceSwitchOff);
  button->LoadAltImage(art::kFaceSwitchOn);
  button->SetClickToggle(true);
  button->setGeometry(where);
  return button;
}

oRealEdit* MakeEdit(QWidget* page, int id, int low, int high, int value, const QRect& where) {
  return MakePageEdit(page, id, where, low, high, value);
}

void EditsInFlight::Watch(oRealEdit* edit) {
  const int id = ControlId(edit);
  QObject::connect(edit, &QLineEdit::textEdited, edit, [this, id] { ids_.insert(id); });
}

bool ShowDeviceValue(oRealEdit* edit, int value, const EditsInFlight& inFlight) {
  if (inFlight.InFlight(ControlId(edit))) return false;
  const auto v = static_cast<float>(value);
  if (v < edit->Minimum() || v > edit->Maximum()) return false;
  edit->SetValue(v);
  return true;
}

}  // namespace orv::edidvga
