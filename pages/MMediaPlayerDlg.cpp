#include "MMediaPlayerDlg.h"

#include "ArtIds.h"
#include "CGdipButton.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "Skin.h"

namespace orv {

namespace {

// The keys in the order of their codes 1..7, as the template places them:
// the arrows as a cross, OK in its middle, "Return" and the switch below.
struct KeySpec {
  const char* caption;
  QRect where;
};
const KeySpec kKeySpecs[MMediaPlayerDlg::kKeys] = {
    {"OK", {120, 150, 80, 40}}, {"Return", {40, 260, 110, 34}}, {"切换", {170, 260, 110, 34}},
    {"上", {120, 100, 80, 40}}, {"下", {120, 200, 80, 40}},     {"左", {30, 150, 80, 40}},
    {"右", {210, 150, 80, 40}},
};
const char* const kDiskCaptions[2] = {"UDISK1", "UDISK2"};
const QRect kDiskRects[2] = {{40, 46, 110, 34}, {170, 46, 110, 34}};

void Enable(CGdipButton* button, bool on) {
  button->setEnabled(on);
  button->SetDisabledLook(!on);
}

}  // namespace

MMediaPlayerDlg::MMediaPlayerDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Media Player Setting")) {}

bool MMediaPlayerDlg::OnInitDialog() {
  MSettingsPage::OnInitDialog();
  for (int code = 1; code <= kKeys; ++code) {
    const KeySpec& spec = kKeySpecs[code - 1];
    auto* b = new CGdipButton(this, kFirstKey + code - 1);
    b->LoadImage(art::kKeyButton);
    b->SetTextColor(skin::kText);
    b->setText(QString::fromUtf8(spec.caption));
    b->setGeometry(spec.where);
    connect(b, &QAbstractButton::clicked, this, [this, code] { KeyPressed(code); });
    keys_[static_cast<std::size_t>(code - 1)] = b;
  }
  for (int disk = 0; disk < 2; ++disk) {
    auto* b = new CGdipButton(this, kFirstDisk + disk);
    b->LoadImage(art::kUdiskButton);
    b->LoadAltImage(art::kUdiskButtonPressed);
    // The chosen disk shows the pressed face until the other one is chosen.
    b->SetStayPushed(true);
    b->SetTextColor(skin::kText);
    b->setText(QString::fromLatin1(kDiskCaptions[disk]));
    b->setGeometry(kDiskRects[disk]);
    connect(b, &QAbstractButton::clicked, this, [this, disk] { Choose(disk); });
    disks_[static_cast<std::size_t>(disk)] = b;
  }
  ApplyControlFont();
  ReloadTexts();
  Choose(0);
  return true;
}

void MMediaPlayerDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  ApplyDialogTexts(this, TemplateId());
}

void MMediaPlayerDlg::Choose(int disk) {
  for (int d = 0; d < 2; ++d) {
    disks_[static_cast<std::size_t>(d)]->SetChecked(d == disk);
    disks_[static_cast<std::size_t>(d)]->update();
  }
}

int MMediaPlayerDlg::ChosenDisk() const {
  for (int d = 0; d < 2; ++d) {
    if (disks_[static_cast<std::size_t>(d)]->IsChecked()) return d;
  }
  return 0;
}

void MMediaPlayerDlg::KeyPressed(int code) {
  SendCommand(MEDIA, code, ChosenDisk());
}

void MMediaPlayerDlg::RefreshFromDevice() {
  NoteRefresh();
  if (!Created()) return;
  bool udisk[2]{};
  {
    auto s = State();
    for (int d = 0; d < 2; ++d) udisk[d] = s->block.INPUTINFO.INPUTSRC[6 + d] == kUdiskPortType;
  }
  for (CGdipButton* b : disks_) Enable(b, false);
  if (udisk[0] && udisk[1]) {
    for (CGdipButton* b : disks_) Enable(b, true);
  } else if (udisk[0] || udisk[1]) {
    const int only = udisk[0] ? 0 : 1;
    Enable(disks_[static_cast<std::size_t>(only)], true);
    Choose(only);
  }
}

}  // namespace orv
