#include "MVideoSettingDlg.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>

#include "CDropList.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "MessageIds.h"
#include "Messages.h"
#include "PageWidgets.h"
#include "UiTexts.h"
#include "oRealEdit.h"

namespace orv {

namespace {

constexpr int kTextSetting = 97;
constexpr int kTextFirstPreset = 138;  // "Fluency" .. "Ultra Clear"
constexpr int kTextUpdateFailure = 142;
constexpr int kTextSuccess = 143;
constexpr int kTextUpdate = 144;

constexpr int kEncoderResolutionRequest = 0x5C4;

struct Resolution {
  int code;
  const char* name;
};
constexpr Resolution kResolutions[] = {{1, "352*240"},   {21, "480*270"}, {20, "640*360"},
                                       {7, "640*480"},   {19, "960*540"}, {16, "1280*720"},
                                       {17, "1920*1080"}};

// Why an upload failed, after "Update Failure"; the language file may relabel each.
struct ReasonText {
  UploadResult result;
  const char* key;
  const char* english;
};
constexpr ReasonText kReasons[] = {
    {UploadResult::AlreadyRunning, "VENC_Busy", "an update is already running"},
    {UploadResult::FileMissing, "VENC_NoFile", "the package file cannot be read"},
    {UploadResult::FileEmpty, "VENC_EmptyFile", "the package file is empty"},
    {UploadResult::ConnectFailed, "VENC_NoConnect", "the encoder cannot be reached"},
    {UploadResult::SendFailed, "VENC_SendFailed", "sending to the encoder failed"},
    {UploadResult::ConnectionClosed, "VENC_Closed", "the encoder closed the connection"},
    {UploadResult::NoAnswer, "VENC_NoAnswer", "the encoder did not answer"},
    {UploadResult::BadAnswer, "VENC_BadAnswer", "the encoder's answer is not understood"},
    {UploadResult::Refused, "VENC_Refused", "the encoder refused the package"},
    {UploadResult::Cancelled, "VENC_Cancelled", "the update was stopped"},
};

QString ReasonOf(UploadResult result) {
  for (const ReasonText& r : kReasons) {
    if (r.result != result) continue;
    const std::string fromFile = GetText(r.key);
    return QString::fromStdString(fromFile.empty() ? std::string(r.english) : fromFile);
  }
  return {};
}

struct LabelSpec {
  int id;
  const char* caption;
  QRect where;
};
const LabelSpec kLabels[] = {
    {MVideoSettingDlg::kQualityLabel, "Quality :", {24, 70, 100, 24}},
    {MVideoSettingDlg::kAddressLabel, "Encoder IP :", {24, 196, 110, 24}},
};

const QRect kSettingGroupRect(10, 40, 300, 120);
const QRect kQualityListRect(130, 70, 166, 22);
const QRect kVersionRect(24, 110, 272, 24);
const QRect kResolutionListRect(130, 136, 166, 22);
const QRect kFpsRect(24, 136, 40, 22);
const QRect kKbpsRect(70, 136, 50, 22);
const QRect kUpdateGroupRect(10, 176, 300, 210);
const QRect kAddressRect(136, 196, 160, 24);
const QRect kPathRect(24, 230, 186, 26);
const QRect kBrowseRect(216, 229, 80, 28);
const QRect kUpdateRect(216, 266, 80, 28);
const QRect kProgressRect(24, 306, 272, 18);
const QRect kStatusRect(24, 332, 272, 44);

}  // namespace

std::array<uint8_t, 9> EncoderPresetBytes(const QualityPreset& p) {
  const auto hi = static_cast<uint8_t>(p.kbps >> 8);
  const auto lo = static_cast<uint8_t>(p.kbps & 0xFF);
  return {0, p.fps, p.resolutionCode, hi, lo, p.fps, p.resolutionCode, hi, lo};
}

int PreviewSizeIndex(int resolutionCode) {
  for (int i = 0; i < 4; ++i) {
    if (kQualityPresets[i].resolutionCode == resolutionCode) return i;
  }
  return -1;
}

MVideoSettingDlg::MVideoSettingDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Video Display Setting")),
      upload_(std::make_unique<EncoderUpload>()) {}

// The upload's worker is joined here, before the controls go; its last
// events find the page gone (QPointer) and are dropped.
MVideoSettingDlg::~MVideoSettingDlg() {
  upload_->Cancel();
  upload_.reset();
}

bool MVideoSettingDlg::OnInitDialog() {
  MSettingsPage::OnInitDialog();
  BuildControls();
  ApplyControlFont();
  FillLists();
  ShowSetting();
  addressText_->setText(address_);
  version_->setText(versionText_);
  return true;
}

void MVideoSettingDlg::BuildControls() {
  settingGroup_ = MakePageGroup(this, kSettingGroup, UiQText(kTextSetting), kSettingGroupRect);
  updateGroup_ = MakePageGroup(this, kUpdateGroup, UiQText(kTextUpdate), kUpdateGroupRect);
  for (const LabelSpec& l : kLabels)
    MakePageLabel(this, l.id, QString::fromLatin1(l.caption), l.where);
  version_ = MakePageLabel(this, kVersionText, QString(), kVersionRect);
  addressText_ = MakePageLabel(this, kAddressText, QString(), kAddressRect);
  status_ = MakePageLabel(this, kStatusText, QString(), kStatusRect);
  status_->setWordWrap(true);
  status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  // The resolution list and the two edits stay hidden; they carry the values sent.
  fpsEdit_ = MakePageEdit(this, kFpsEdit, kFpsRect, 1, 60, 15);
  kbpsEdit_ = MakePageEdit(this, kKbpsEdit, kKbpsRect, 64, 16384, 3072);
  fpsEdit_->hide();
  kbpsEdit_->hide();

  pathEdit_ = new QLineEdit(this);
  pathEdit_->setGeometry(kPathRect);
  pathEdit_->setReadOnly(true);
  browse_ = MakePageButton(this, kBrowse, QStringLiteral("Browse"), kBrowseRect);
  connect(browse_, &QAbstractButton::clicked, this, [this] { BrowsePressed(); });
  update_ = MakePageButton(this, kUpdate, UiQText(kTextUpdate), kUpdateRect);
  connect(update_, &QAbstractButton::clicked, this, [this] { StartUpload(); });
  progress_ = new QProgressBar(this);
  progress_->setGeometry(kProgressRect);
  progress_->setRange(0, 100);
  progress_->setTextVisible(false);
  progress_->hide();

  qualityList_ = MakePageDropList(this, kQualityListId, kQualityListRect);
  resolutionList_ = MakePageDropList(this, kResolutionListId, kResolutionListRect);
  resolutionList_->hide();
}

void MVideoSettingDlg::FillLists() {
  qualityList_->ResetContent();
  for (int p = 0; p < 4; ++p) {
    const int i = qualityList_->List()->AddString(UiQText(kTextFirstPreset + p));
    qualityList_->List()->SetItemData(i, static_cast<uint32_t>(p));
  }
  resolutionList_->ResetContent();
  for (const Resolution& r : kResolutions) {
    const int i = resolutionList_->List()->AddString(QString::fromLatin1(r.name));
    resolutionList_->List()->SetItemData(i, static_cast<uint32_t>(r.code));
  }
  qualityList_->SetCurSel(previewIndex_);
  resolutionList_->SetCurSel(3);  // 640*480, the device's start-up size
}

void MVideoSettingDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  ApplyDialogTexts(this, TemplateId());
  if (settingGroup_ == nullptr) return;  // the base calls this before the controls exist
  settingGroup_->SetText(UiQText(kTextSetting));
  updateGroup_->SetText(UiQText(kTextUpdate));
  update_->setText(UiQText(kTextUpdate));
  const int resolution = resolutionList_->GetCurSel();
  FillLists();
  resolutionList_->SetCurSel(resolution);
  if (!Uploading()) ShowResult();
  update();
}

// The record keeps only the encoder's last report, and the three kinds come
// one after the other, so each is taken into the page's state as it comes,
// whether or not the controls exist yet.
void MVideoSettingDlg::RefreshFromDevice() {
  std::array<uint8_t, 10> r{};
  {
    auto s = State();
    std::copy(std::begin(s->VENC_INFO), std::end(s->VENC_INFO), r.begin());
  }
  TakeEncoderReport(r);
}

void MVideoSettingDlg::TakeEncoderReport(const std::array<uint8_t, 10>& r) {
  NoteRefresh();
  switch (r[0]) {
    case 2:
      setting_ = QualityPreset{r[2], r[3], static_cast<uint16_t>(r[4] * 256 + r[5])};
      if (Created()) ShowSetting();
      break;
    case 0:
      address_ = QString::asprintf("%d.%d.%d.%d", r[5], r[6], r[7], r[8]);
      if (Created()) addressText_->setText(address_);
      break;
    case 1:
      versionText_ = QString::asprintf("Version:%04x", r[1] * 256 + r[2]);
      if (Created()) version_->setText(versionText_);
      break;
    default:
      break;
  }
}

void MVideoSettingDlg::ShowSetting() {
  if (!setting_) return;
  const QualityPreset r = *setting_;
  ShowEditValue(fpsEdit_, r.fps);
  const int index = PreviewSizeIndex(r.resolutionCode);
  if (index < 0) return;  // a size the presets do not know changes nothing more
  if (index != previewIndex_) RequestPreviewSize(r.resolutionCode);
  previewIndex_ = index;
  qualityList_->SetCurSel(index);
  for (int i = 0; i < static_cast<int>(std::size(kResolutions)); ++i) {
    if (kResolutions[i].code == r.resolutionCode) resolutionList_->SetCurSel(i);
  }
  ShowEditValue(kbpsEdit_, r.kbps);
}

void MVideoSettingDlg::SendPreset(const QualityPreset& p) {
  const auto b = EncoderPresetBytes(p);
  SendCommandArgs(SET_VIDEO_ENCODER, {b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8]});
  RequestPreviewSize(p.resolutionCode);
}

void MVideoSettingDlg::RequestPreviewSize(int code) {
  // The settings report that follows must not ask for the same size again.
  const int index = PreviewSizeIndex(code);
  if (index >= 0) previewIndex_ = index;
  PostMsg(NotifyWindow(this), UM_PAGE_REQUEST, kEncoderResolutionRequest, code);
}

void MVideoSettingDlg::QualityChosen(int index) {
  if (index < 0 || index >= 4) return;
  const QualityPreset& p = kQualityPresets[index];
  ShowEditValue(fpsEdit_, p.fps);
  ShowEditValue(kbpsEdit_, p.kbps);
  for (int i = 0; i < static_cast<int>(std::size(kResolutions)); ++i) {
    if (kResolutions[i].code == p.resolutionCode) resolutionList_->SetCurSel(i);
  }
  SendPreset(p);
}

void MVideoSettingDlg::ResolutionChosen(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kResolutions))) return;
  SendPreset({static_cast<uint8_t>(fpsEdit_->Value()),
              static_cast<uint8_t>(kResolutions[index].code),
              static_cast<uint16_t>(kbpsEdit_->Value())});
}

void MVideoSettingDlg::ValueCommitted() {
  const int sel = resolutionList_->GetCurSel();
  if (sel < 0 || sel >= static_cast<int>(std::size(kResolutions))) return;
  const auto kbps = static_cast<uint16_t>(kbpsEdit_->Value());
  SendCommandArgs(
      SET_VIDEO_ENCODER,
      {0, static_cast<uint8_t>(fpsEdit_->Value()), static_cast<uint8_t>(kResolutions[sel].code),
       static_cast<uint8_t>(kbps >> 8), static_cast<uint8_t>(kbps & 0xFF), 0xFF, 0xFF, 0xFF, 0xFF});
}

bool MVideoSettingDlg::TakePackagePath(const QString& path) {
  if (QFileInfo(path).fileName() != QLatin1String(kPackageName)) return false;
  path_ = path;
  pathEdit_->setText(path);
  return true;
}

void MVideoSettingDlg::BrowsePressed() {
  const QString chosen = QFileDialog::getOpenFileName(
      this, UiQText(kTextUpdate), QString(),
      QStringLiteral("VP_venc.tar.gz (VP_venc.tar.gz);;All Filter(*.*)"));
  if (!chosen.isEmpty()) TakePackagePath(chosen);
}

bool MVideoSettingDlg::Uploading() const {
  return upload_->Running();
}

QString MVideoSettingDlg::StatusText() const {
  return status_ ? status_->text() : QString();
}

QString MVideoSettingDlg::VersionText() const {
  return version_ ? version_->text() : versionText_;
}

void MVideoSettingDlg::StartUpload() {
  UploadRequest request;
  request.encoderIp = address_.toStdString();
  request.packagePath = path_.toStdString();
  if (!upload_->Running()) {
    progress_->setValue(0);
    progress_->show();
    status_->clear();
    lastResult_.reset();
  }
  QPointer<MVideoSettingDlg> self(this);
  upload_->Start(std::move(request), [self](const UploadEvent& event) {
    RunOnGuiThread([self, event] {
      if (self) self->OnUploadEvent(event);
    });
  });
}

void MVideoSettingDlg::OnUploadEvent(const UploadEvent& event) {
  if (!event.done) {
    progress_->setValue(event.percent);
    if (event.percent % 10 == 0) status_->setText(QString::asprintf("%d%%", event.percent));
    return;
  }
  if (event.result == UploadResult::Success) progress_->setValue(100);
  lastResult_ = event.result;
  ShowResult();
  // A refused second start leaves the running upload's bar in place.
  if (event.result != UploadResult::AlreadyRunning) progress_->hide();
}

void MVideoSettingDlg::ShowResult() {
  if (!lastResult_) return;
  if (*lastResult_ == UploadResult::Success) {
    status_->setText(UiQText(kTextSuccess));
  } else {
    status_->setText(UiQText(kTextUpdateFailure) + QStringLiteral(": ") + ReasonOf(*lastResult_));
  }
}

intptr_t MVideoSettingDlg::OnMessage(const Message& message) {
  if (message.id == UM_LIST_SELECT) {
    const int index = static_cast<int>(message.lParam);
    if (message.wParam == kQualityListId) QualityChosen(index);
    if (message.wParam == kResolutionListId) ResolutionChosen(index);
    return 1;
  }
  if (message.id == UM_VALUE_COMMITTED) {
    if (message.wParam == kFpsEdit || message.wParam == kKbpsEdit) ValueCommitted();
    return 1;
  }
  return MSettingsPage::OnMessage(message);
}

}  // namespace orv
