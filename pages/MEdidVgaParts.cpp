#include "MEdidVgaParts.h"

#include <QLabel>
#include <QPalette>

#include "ArtIds.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "ControlId.h"
#include "Skin.h"
#include "oRealEdit.h"

namespace orv::edidvga {

CSxGroupBox* MakeGroup(QWidget* page, int id, const QString& caption, const QRect& where) {
  auto* box = new CSxGroupBox(caption, page, id);
  box->setGeometry(where);
  box->SetCaptionColor(skin::kOrange);
  box->SetCaptionFont(skin::ControlFont());
  box->SetColors(QColor(90, 90, 90), QColor(30, 30, 30), QColor(60, 60, 60), QColor(30, 30, 30));
  return box;
}

QLabel* MakeLabel(QWidget* page, int id, const QString& caption, const QRect& where) {
  auto* label = new QLabel(caption, page);
  SetControlId(label, id);
  label->setGeometry(where);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, skin::kText);
  label->setPalette(palette);
  return label;
}

CGdipButton* MakeButton(QWidget* page, int id, const QString& caption, const QRect& where) {
  auto* button = new CGdipButton(page, id);
  button->LoadImage(art::kFaceButton);
  button->SetTextColor(skin::kText);
  button->setText(caption);
  button->setGeometry(where);
  return button;
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
  auto* edit = new oRealEdit(page, id);
  edit->setGeometry(where);
  edit->Setup(static_cast<float>(value), static_cast<float>(low), true, static_cast<float>(high),
              QStringLiteral("%d"));
  return edit;
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
