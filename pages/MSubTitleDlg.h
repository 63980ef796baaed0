#pragma once
// The caption page: the device's four scrolling captions. The operator types
// a text (rendered with the chosen font into a one-bit picture) or picks a
// BMP file; the page writes the picture as a monochrome BMP beside the
// program and uploads it in acknowledged chunks (CaptionUpload), then sets
// the caption's place, motion, colours, background, outputs and on/off with
// CAPTION_A, CAPTION_B and GET_CAPTION.
//
// A pop-up of its own over the main window, moved by its title band. Every
// step of an upload runs on the GUI thread: the main window hands the start
// signal, the chunk acknowledges and the caption reports over in arrival
// order, and the acknowledge timer is this page's, so the upload state has
// one owner.
#include <QFont>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "CaptionUpload.h"
#include "MSettingsPage.h"

class QLineEdit;

namespace orv {

class CDropButton;
class CGdipButton;
class CSxGroupBox;
class CaptionPreview;
class oRealEdit;
enum class BmpProblem;
struct MonoBitmap;

class MSubTitleDlg : public MSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kTemplateId = 1514;
  static constexpr int kDirectionListId = 0xFF71;
  static constexpr int kSpeedListId = 0xFF72;
  static constexpr int kBackgroundListId = 0xFF73;
  static constexpr int kCaptionListId = 0xFF74;

  enum ControlId : int {
    kHStartEdit = 1356,
    kVStartEdit = 1357,
    kWidthEdit = 1365,
    kHeightEdit = 1367,
    kCaptionGroup = 1516,  // "Caption Setting"
    kPreviewButton = 1517,
    kTextEdit = 1518,
    kSwitch = 1519,
    kBrowse = 1520,
    kTextColour = 1521,
    kFont = 1522,
    kBackColour = 1523,
    kSave = 1524,
    kAreaGroup = 1528,  // "Display Area"
    kDisplayWidthEdit = 1529,
    kAdvanced = 1530,
    kInputGroup = 1535,  // "Caption Input"
    kFirstOutputToggle = 1541,
    kLocalGroup = 1545,  // "Local Preview"
    kReset = 1553,
    kSwap = 1557,
    kAlignToggle = 1602,
    kAlignLabel = 1603,
    // Labels the template leaves unnumbered.
    kWidthLabel = 2600,
    kHeightLabel = 2601,
    kHStartLabel = 2602,
    kVStartLabel = 2603,
    kDisplayWidthLabel = 2604,
    kSpeedLabel = 2605,
    kDirectionLabel = 2606,
    kBackgroundLabel = 2607,
    kFirstOutputLabel = 2608,  // 2608..2611
    kSwapLabel = 2612,
    kSwitchLabel = 2613,
    kLocalStrip = 2614,
  };

  // Heights of the page (96 DPI units): closed and opened advanced view.
  static constexpr int kClosedHeight = 410;
  static constexpr int kOpenedHeight = 610;
  static constexpr int kPageWidth = 640;

  // Timers: the chunk acknowledge, the save confirmation, the start signal.
  static constexpr uint32_t kAckTimer = 2680;
  static constexpr uint32_t kSaveTimer = 2681;
  static constexpr uint32_t kStartTimer = 2682;
  static constexpr int kAckTimeoutMs = 2000;
  static constexpr int kSaveTimeoutMs = 15000;
  // A device that never answers the announce gets as long as one chunk with
  // its three resends.
  static constexpr int kStartTimeoutMs = kAckTimeoutMs * (kCaptionResendLimit + 1);

  explicit MSubTitleDlg(QWidget* parent);

  // Reply data type 25 for record `index`.
  void RefreshCaption(int index);
  // Device event kinds 8 and 10: the device finished saving or resetting.
  void EnableCaptions();
  // Device event kind 7 taken by the device: the byte offset it names, or -1
  // when the device refused the chunk.
  void ChunkAcknowledged(int position);
  // Device event kind 12: the device accepted (or refused) the announced picture.
  void UploadStarted(bool ok);

  void ShowPage(bool show) override;
  void ReloadTexts() override;
  void ClosePage() override;
  intptr_t OnMessage(const Message& message) override;

  // The choices of the platform dialogs (tests call these directly).
  bool TakeBmpFile(const QString& path);
  void TakeTextColour(uint32_t colour);
  void TakeBackColour(uint32_t colour);
  void TakeFont(const QFont& font);

  int CurrentCaption() const { return current_; }
  bool FileMode() const { return fileMode_; }
  bool Advanced() const;
  QString CaptionFile() const { return captionFile_; }
  uint32_t TextColour() const { return textColour_; }
  uint32_t BackColour() const { return backColour_; }
  const QFont& TextFont() const { return font_; }
  const CaptionUpload& Upload() const { return upload_; }
  bool AwaitingStart() const { return awaitingStart_; }

  QLineEdit* TextEdit() const { return textEdit_; }
  CGdipButton* Button(int id) const;
  oRealEdit* Edit(int id) const;
  CDropButton* List(int listId) const;
  CaptionPreview* Preview() const { return preview_; }

 protected:
  bool OnInitDialog() override;
  void OnTimer(uint32_t id) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void BuildControls();
  void FillLists();
  void SetPageHeight(int units);

  // Operator actions.
  void PreviewPressed();
  void BrowsePressed();
  void FontPressed();
  void ColourPressed(bool text);
  void SwitchPressed();
  void OutputToggled(int output);
  void SavePressed();
  void ResetPressed();
  void AdvancedToggled();
  void TextChanged();
  void ValueCommitted(int id);
  void ListChosen(int listId, int index);

  // The upload.
  bool PreparePicture();
  void EndUpload(const QString& message, const QString& title);
  void CompleteUpload();
  void ShowProgress();
  void ApplyStep(CaptionUpload::Step step);

  void MeasureText();
  void CommitHeight();
  void CloseAdvanced();
  void ShowCaptionRecord(int index);
  void SetSettingsEnabled(bool on);
  void SendColours();
  void SendMotion();
  void SendPlace();
  void UpdateTextLook();
  void UpdatePreview();
  void Wait(bool show, const QString& text = {});
  void SetBusy(bool busy);
  int Value(int editId) const;
  int Selected(int listId) const;
  QString ProblemText(BmpProblem problem) const;

  int current_ = 0;
  QFont font_;
  uint32_t textColour_ = 255;
  uint32_t backColour_ = 0;
  bool fileMode_ = false;
  QString captionFile_;
  bool suppressStart_ = false;
  int pictureWidth_ = 600;
  int pictureHeight_ = 128;
  int uploadCaption_ = 0;
  bool awaitingStart_ = false;
  std::unique_ptr<CaptionRows> pendingRows_;  // the caption file, open from the announce on
  CaptionUpload upload_;
  bool dragging_ = false;
  QPoint dragOffset_;

  QLineEdit* textEdit_ = nullptr;
  CaptionPreview* preview_ = nullptr;
  std::array<CSxGroupBox*, 4> groups_{};
  std::array<CDropButton*, 4> lists_{};  // direction, speed, background, caption
};

}  // namespace orv
