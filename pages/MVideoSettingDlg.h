#pragma once
// The preview encoder page: the encoder's version and address, the four
// quality presets (frame rate, resolution, bit rate) sent as
// SET_VIDEO_ENCODER with the preview resize they cause, and the upload of an
// encoder package to the encoder's own TCP port with a progress bar. The
// upload runs on EncoderUpload's worker; its events come back here through
// RunOnGuiThread, so only this thread touches the controls.
#include <QString>
#include <array>
#include <memory>
#include <optional>

#include "EncoderUpload.h"
#include "MSettingsPage.h"

class QLabel;
class QLineEdit;
class QProgressBar;

namespace orv {

class CDropButton;
class CGdipButton;
class CSxGroupBox;
class oRealEdit;

struct QualityPreset {
  uint8_t fps;
  uint8_t resolutionCode;
  uint16_t kbps;
};
inline constexpr QualityPreset kQualityPresets[4] = {
    {15, 21, 1024}, {15, 7, 3072}, {7, 16, 6144}, {7, 17, 8192}};

// The nine SET_VIDEO_ENCODER bytes of a preset: the four values twice.
std::array<uint8_t, 9> EncoderPresetBytes(const QualityPreset& p);
// The preview size index of a resolution code (21, 7, 16, 17 give 0..3), -1 for others.
int PreviewSizeIndex(int resolutionCode);

class MVideoSettingDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 1533;
  static constexpr int kQualityListId = 0xFF76;
  static constexpr int kResolutionListId = 0xFF75;
  static constexpr char kPackageName[] = "VP_venc.tar.gz";

  enum ControlId : int {
    kSettingGroup = 2000,
    kQualityLabel = 2001,
    kVersionText = 2002,
    kFpsEdit = 2003,
    kKbpsEdit = 2004,
    kUpdateGroup = 2005,
    kAddressLabel = 2006,
    kAddressText = 2007,
    kPathEdit = 2008,
    kBrowse = 2009,
    kUpdate = 2010,
    kProgress = 2011,
    kStatusText = 2012,
  };

  explicit MVideoSettingDlg(QWidget* parent);
  ~MVideoSettingDlg() override;

  // Takes the encoder report in the record.
  void RefreshFromDevice() override;
  // One encoder report (VENC_INFO) as it arrived.
  void TakeEncoderReport(const std::array<uint8_t, 10>& report);
  void ReloadTexts() override;
  intptr_t OnMessage(const Message& message) override;

  // The file the operator picked: taken only when its name is exactly the
  // package name; false leaves the path as it was.
  bool TakePackagePath(const QString& path);
  void StartUpload();

  CDropButton* QualityList() const { return qualityList_; }
  CGdipButton* UpdateButton() const { return update_; }
  QProgressBar* Progress() const { return progress_; }
  QString StatusText() const;
  QString VersionText() const;
  QString AddressText() const { return address_; }
  QString PackagePath() const { return path_; }
  bool Uploading() const;

 protected:
  bool OnInitDialog() override;

 private:
  void BuildControls();
  void FillLists();
  void ShowSetting();
  void QualityChosen(int index);
  void ResolutionChosen(int index);
  void ValueCommitted();
  void SendPreset(const QualityPreset& p);
  void RequestPreviewSize(int code);
  void BrowsePressed();
  void OnUploadEvent(const UploadEvent& event);
  void ShowResult();

  int previewIndex_ = 1;
  QString address_;
  QString versionText_;
  std::optional<QualityPreset> setting_;  // the last settings report
  QString path_;
  CSxGroupBox* settingGroup_ = nullptr;
  CSxGroupBox* updateGroup_ = nullptr;
  CDropButton* qualityList_ = nullptr;
  CDropButton* resolutionList_ = nullptr;
  oRealEdit* fpsEdit_ = nullptr;
  oRealEdit* kbpsEdit_ = nullptr;
  QLabel* version_ = nullptr;
  QLabel* addressText_ = nullptr;
  QLineEdit* pathEdit_ = nullptr;
  CGdipButton* browse_ = nullptr;
  CGdipButton* update_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* status_ = nullptr;
  std::optional<UploadResult> lastResult_;  // shown again after a language switch
  std::unique_ptr<EncoderUpload> upload_;
};

}  // namespace orv
