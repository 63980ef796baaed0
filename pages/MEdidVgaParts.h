#pragma once
// Building blocks of the EDID and VGA pages: skinned group boxes, labels,
// face buttons, on/off switches and numeric edits made the same way, and the
// rule for showing a device value in an edit.
#include <set>

#include <QRect>
#include <QString>

class QLabel;
class QWidget;

namespace orv {

class CGdipButton;
class CSxGroupBox;
class oRealEdit;

namespace edidvga {

CSxGroupBox* MakeGroup(QWidget* page, int id, const QString& caption, const QRect& where);
QLabel* MakeLabel(QWidget* page, int id, const QString& caption, const QRect& where);
CGdipButton* MakeButton(QWidget* page, int id, const QString& caption, const QRect& where);
// An on/off switch: a click flips it; IsChecked() is the new state.
CGdipButton* MakeSwitch(QWidget* page, int id, const QRect& where);
// A "%d" edit over [low, high] starting at `value`.
oRealEdit* MakeEdit(QWidget* page, int id, int low, int high, int value, const QRect& where);

// Edits whose operator value has not reached the page yet: typed, or
// committed with its UM_VALUE_COMMITTED still queued. A device report
// handled meanwhile must not overwrite them, or the page would send the
// device's old value instead of the operator's.
class EditsInFlight {
 public:
  // Marks the edit on every edit by the operator.
  void Watch(oRealEdit* edit);
  // The page handled the edit's UM_VALUE_COMMITTED.
  void Arrived(int controlId) { ids_.erase(controlId); }
  bool InFlight(int controlId) const { return ids_.count(controlId) != 0; }

 private:
  std::set<int> ids_;
};

// Shows a value the device reported; one outside the edit's range is not
// the device's state as the page can show it, so the edit keeps its value,
// as does an edit in flight. True when the edit took the value.
bool ShowDeviceValue(oRealEdit* edit, int value, const EditsInFlight& inFlight);

}  // namespace edidvga
}  // namespace orv
