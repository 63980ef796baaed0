#include "PageWidgets.h"

#include <algorithm>

#include <QLabel>
#include <QPainter>

#include "ArtIds.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "ControlId.h"
#include "Skin.h"
#include "UiTexts.h"
#include "oRealEdit.h"

namespace orv {

QString UiQText(int n) {
  return QString::fromStdString(UiText(n));
}

QString KeyedQText(const char* key, const char* english) {
  const std::string fromFile = GetText(key);
  return QString::fromStdString(fromFile.empty() ? std::string(english) : fromFile);
}

CSxGroupBox* MakePageGroup(QWidget* page, int id, const QString& caption, const QRect& where) {
  auto* box = new CSxGroupBox(caption, page, id);
  box->setGeometry(where);
  box->SetCaptionColor(skin::kOrange);
  box->SetCaptionFont(skin::ControlFont());
  box->SetColors(QColor(90, 90, 90), QColor(30, 30, 30), QColor(60, 60, 60), QColor(30, 30, 30));
  return box;
}

QLabel* MakePageLabel(QWidget* page, int id, const QString& caption, const QRect& where) {
  auto* label = new QLabel(caption, page);
  SetControlId(label, id);
  label->setGeometry(where);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, skin::kText);
  // Labels are never disabled themselves; a page disabled as a whole (the
  // wait box, the feathering lock) keeps their look, as its other controls do.
  label->setPalette(palette);
  return label;
}

CGdipButton* MakePageButton(QWidget* page, int id, const QString& caption, const QRect& where) {
  auto* button = new CGdipButton(page, id);
  button->LoadImage(art::kFaceButton);
  button->SetTextColor(skin::kText);
  button->setText(caption);
  button->setGeometry(where);
  return button;
}

CGdipButton* MakePageSwitch(QWidget* page, int id, const QPoint& topLeft) {
  auto* button = new CGdipButton(page, id);
  button->LoadImage(art::kFaceSwitchOff);
  button->LoadAltImage(art::kFaceSwitchOn);
  button->move(topLeft);
  button->FitToImage();
  button->SetClickToggle(true);
  return button;
}

CDropButton* MakePageDropList(QWidget* page, int listId, const QRect& where) {
  auto* drop = new CDropButton;
  drop->Create(QString(), page, listId, skin::kPageBack, skin::kPageBack, skin::kText, nullptr,
               QColor(255, 255, 255), where);
  drop->SetListColor(skin::kListFill);
  return drop;
}

oRealEdit* MakePageEdit(QWidget* page, int id, const QRect& where, int min, int max, int value) {
  auto* edit = new oRealEdit(page, id);
  edit->setGeometry(where);
  edit->Setup(static_cast<float>(value), static_cast<float>(min), true, static_cast<float>(max),
              QStringLiteral("%d"));
  return edit;
}

void ShowEditValue(oRealEdit* edit, int value) {
  edit->SetValue(std::clamp(static_cast<float>(value), edit->Minimum(), edit->Maximum()));
}

void ShowSwitch(CGdipButton* button, bool on) {
  button->SetChecked(on);
  button->update();
}

void PaintPreviewBox(QPainter& p, const QRect& area, const QColor& fill, const QRect& box) {
  p.fillRect(area, fill);
  if (box.isEmpty()) return;
  // The frame lies on the box's own outermost pixels: a stroked QRect would
  // put its right and bottom lines one pixel outside, beyond the area when
  // the box covers all of it.
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(box.adjusted(0, 0, -1, -1));
}

}  // namespace orv
