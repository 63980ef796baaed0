#include "MSubTitleDlg.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include "ArtIds.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CSxGroupBox.h"
#include "CaptionPreview.h"
#include "CaptionRender.h"
#include "CaptionRules.h"
#include "CommandEncoder.h"
#include "ControlId.h"
#include "DeviceState.h"
#include "DialogTexts.h"
#include "Dpi.h"
#include "Ini.h"
#include "MessageBox.h"
#include "MessageIds.h"
#include "MonoBmp.h"
#include "PageWidgets.h"
#include "Skin.h"
#include "UiTexts.h"
#include "oRealEdit.h"

namespace orv {

namespace {

constexpr int kTextTips = 38;
constexpr int kTextWaitOperation = 65;
constexpr int kTextFirstBackground = 116;  // " Opaque", " Translucent", " Transparent"
constexpr int kTextFirstSpeed = 119;       // " Freeze", " Speed 1" .. " Speed 3"
constexpr int kTextFirstDirection = 123;   // " Left", " Right"
constexpr int kTextCaptionSetting = 125;
constexpr int kTextLocalPreview = 126;
constexpr int kTextDisplayArea = 127;
constexpr int kTextCaptionInput = 128;
constexpr int kTextTimeOut = 129;
constexpr int kTextFirstCaption = 130;  // "Caption 1" .. "Caption 4"
constexpr int kTextResetQuestion = 135;

const QColor kAdvancedPressed(239, 156, 0);     // 0x9CEF
const QColor kAdvancedReleased(235, 235, 235);  // 0xEBEBEB

// Texts the numbered table lacks, under keys of the language files.
struct KeyText {
  const char* key;
  const char* english;
};
QString TextOf(const KeyText& t) {
  return KeyedQText(t.key, t.english);
}
constexpr KeyText kInvalid{"CAP_Invalid", "Caption Invalid"};
constexpr KeyText kTooLarge{"CAP_TooLarge", "The picture exceeds the 3840*128 limit"};
constexpr KeyText kCannotUse{"CAP_CannotUse", "The caption picture %1 cannot be used: %2"};
constexpr KeyText kWriteFailed{"CAP_WriteFailed", "The caption picture cannot be written to %1"};
constexpr KeyText kReadFailed{"CAP_ReadFailed",
                              "The caption picture could not be read; the upload was stopped"};

struct ProblemRow {
  BmpProblem problem;
  KeyText text;
};
constexpr ProblemRow kProblems[] = {
    {BmpProblem::CannotOpen, {"CAP_NoFile", "the file cannot be opened"}},
    {BmpProblem::NotBmp, {"CAP_NotBmp", "it is not an uncompressed BMP picture"}},
    {BmpProblem::Truncated, {"CAP_Truncated", "the file is shorter than its header says"}},
    {BmpProblem::BadWidth, {"CAP_BadWidth", "its width is not above zero"}},
    {BmpProblem::BadHeight, {"CAP_BadHeight", "its height is not above zero"}},
    {BmpProblem::NotOneBit, {"CAP_NotOneBit", "it is not a one-bit picture"}},
    {BmpProblem::TooLarge, {"CAP_TooLargeReason", "it is larger than 3840 x 128"}},
};

struct LabelSpec {
  int id;
  const char* caption;  // English template caption; the language file relabels it
  QRect where;
};
const LabelSpec kLabels[] = {
    {MSubTitleDlg::kAlignLabel, "Align Center", {516, 124, 110, 22}},
    {MSubTitleDlg::kSwitchLabel, "ON/OFF", {140, 362, 70, 20}},
    {MSubTitleDlg::kSwapLabel, "Swap Colors", {90, 560, 210, 24}},
    {MSubTitleDlg::kSpeedLabel, "Scroll Speed", {332, 474, 112, 24}},
    {MSubTitleDlg::kDirectionLabel, "Scroll Direction", {332, 504, 112, 24}},
    {MSubTitleDlg::kBackgroundLabel, "Background", {332, 534, 112, 24}},
};

const EditRow kEditRows[] = {
    {MSubTitleDlg::kWidthLabel,
     "Width:",
     {24, 440, 70, 24},
     MSubTitleDlg::kWidthEdit,
     {96, 440, 60, 24},
     10,
     3840},
    {MSubTitleDlg::kHeightLabel,
     "Height:",
     {164, 440, 70, 24},
     MSubTitleDlg::kHeightEdit,
     {236, 440, 60, 24},
     10,
     128},
    {MSubTitleDlg::kHStartLabel,
     "H Start:",
     {24, 476, 70, 24},
     MSubTitleDlg::kHStartEdit,
     {96, 476, 60, 24},
     0,
     3840},
    {MSubTitleDlg::kVStartLabel,
     "V Start:",
     {164, 476, 70, 24},
     MSubTitleDlg::kVStartEdit,
     {236, 476, 60, 24},
     0,
     3840},
    {MSubTitleDlg::kDisplayWidthLabel,
     "Width:",
     {24, 512, 70, 24},
     MSubTitleDlg::kDisplayWidthEdit,
     {96, 512, 60, 24},
     1,
     3840},
};
constexpr int kInitialEditValues[] = {600, 60, 0, 0, 600};

struct ButtonSpec {
  int id;
  const char* caption;
  QRect where;
};
const ButtonSpec kButtons[] = {
    {MSubTitleDlg::kBrowse, "Browse", {516, 56, 100, 28}},
    {MSubTitleDlg::kPreviewButton, "Preview", {212, 332, 96, 28}},
    {MSubTitleDlg::kSave, "Save", {314, 332, 96, 28}},
    {MSubTitleDlg::kReset, "Initialize", {416, 332, 96, 28}},
    {MSubTitleDlg::kAdvanced, "Advanced", {518, 332, 112, 28}},
    {MSubTitleDlg::kFont, "Font", {332, 436, 92, 28}},
    {MSubTitleDlg::kTextColour, "Text Color", {428, 436, 92, 28}},
    {MSubTitleDlg::kBackColour, "Back Color", {524, 436, 96, 28}},
};

struct SwitchSpec {
  int id;
  QPoint at;
};
const SwitchSpec kSwitches[] = {
    {MSubTitleDlg::kSwitch, {140, 334}},
    {MSubTitleDlg::kAlignToggle, {516, 96}},
    {MSubTitleDlg::kSwap, {24, 560}},
};

// The output toggles and their labels; outputs 3 and 4 stay hidden and disabled.
const QPoint kOutputToggleAt[4] = {{332, 566}, {480, 566}, {332, 566}, {480, 566}};
const QRect kOutputLabelAt[4] = {
    {396, 566, 80, 24}, {544, 566, 80, 24}, {396, 566, 80, 24}, {544, 566, 80, 24}};
constexpr int kVisibleOutputs = 2;

// Lists: id, where, first text, count.
struct ListSpec {
  int id;
  QRect where;
  int firstText;
  int count;
};
const ListSpec kLists[] = {
    {MSubTitleDlg::kDirectionListId, {446, 504, 172, 24}, kTextFirstDirection, 2},
    {MSubTitleDlg::kSpeedListId, {446, 474, 172, 24}, kTextFirstSpeed, 4},
    {MSubTitleDlg::kBackgroundListId, {446, 534, 172, 24}, kTextFirstBackground, 3},
    {MSubTitleDlg::kCaptionListId, {10, 334, 120, 24}, kTextFirstCaption, 4},
};

struct GroupSpec {
  int id;
  int text;
  QRect where;
};
const GroupSpec kGroups[] = {
    {MSubTitleDlg::kInputGroup, kTextCaptionInput, {10, 34, 620, 166}},
    {MSubTitleDlg::kLocalGroup, kTextLocalPreview, {10, 208, 620, 90}},
    {MSubTitleDlg::kAreaGroup, kTextDisplayArea, {10, 414, 300, 186}},
    {MSubTitleDlg::kCaptionGroup, kTextCaptionSetting, {320, 414, 310, 186}},
};

const QRect kTextEditRect(22, 56, 480, 60);
const QRect kStripRect(22, 230, 596, CaptionPreview::kStripHeight);

uint32_t ColourValue(const QColor& c) {
  return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
         (static_cast<uint32_t>(c.blue()) << 16);
}

QColor QColourOf(uint32_t value) {
  const ColourBytes b = BytesOf(value);
  return {b.r, b.g, b.b};
}

uint8_t Lo(int v) {
  return static_cast<uint8_t>(v & 0xFF);
}
uint8_t Hi(int v) {
  return static_cast<uint8_t>((v >> 8) & 0xFF);
}

void EnableButton(CGdipButton* b, bool on) {
  b->setEnabled(on);
  b->SetDisabledLook(!on);
}

uint16_t U16(const uint8_t* r, int at) {
  return static_cast<uint16_t>(r[at] | (r[at + 1] << 8));
}

uint32_t U32(const uint8_t* r, int at) {
  return static_cast<uint32_t>(U16(r, at)) | (static_cast<uint32_t>(U16(r, at + 2)) << 16);
}

}  // namespace

MSubTitleDlg::MSubTitleDlg(QWidget* parent)
    : MSettingsPage(kTemplateId, parent, QStringLiteral("Caption Setting")) {}

bool MSubTitleDlg::OnInitDialog() {
  MSettingsPage::OnInitDialog();
  captionFile_ = QString::fromStdString(UserDataFolder() + "PFile.BMP");
  font_ = DefaultCaptionFont();
  SetPageHeight(kClosedHeight);
  BuildControls();
  ApplyControlFont();
  FillLists();
  textEdit_->setFont(font_);
  textEdit_->setText(QStringLiteral("Welcome"));
  connect(textEdit_, &QLineEdit::textEdited, this, [this] { TextChanged(); });
  UpdateTextLook();
  EnableButton(Button(kSave), false);
  SetSettingsEnabled(false);
  UpdatePreview();
  return true;
}

void MSubTitleDlg::BuildControls() {
  for (std::size_t i = 0; i < std::size(kGroups); ++i) {
    const GroupSpec& g = kGroups[i];
    groups_[i] = MakePageGroup(this, g.id, UiQText(g.text), g.where);
  }
  textEdit_ = new QLineEdit(this);
  SetControlId(textEdit_, kTextEdit);
  textEdit_->setGeometry(kTextEditRect);
  textEdit_->setFrame(false);
  preview_ = new CaptionPreview(this);
  SetControlId(preview_, kLocalStrip);
  preview_->setGeometry(kStripRect);
  for (const LabelSpec& l : kLabels)
    MakePageLabel(this, l.id, QString::fromLatin1(l.caption), l.where);
  for (std::size_t i = 0; i < std::size(kEditRows); ++i) {
    const EditRow& row = kEditRows[i];
    MakePageLabel(this, row.labelId, QString::fromLatin1(row.caption), row.label);
    MakePageEdit(this, row.editId, row.edit, row.min, row.max, kInitialEditValues[i]);
  }
  for (const ButtonSpec& b : kButtons) {
    CGdipButton* button = MakePageButton(this, b.id, QString::fromLatin1(b.caption), b.where);
    connect(button, &QAbstractButton::clicked, this, [this, id = b.id] {
      switch (id) {
        case kPreviewButton:
          return PreviewPressed();
        case kSave:
          return SavePressed();
        case kReset:
          return ResetPressed();
        case kAdvanced:
          return AdvancedToggled();
        case kBrowse:
          return BrowsePressed();
        case kFont:
          return FontPressed();
        case kTextColour:
          return ColourPressed(true);
        case kBackColour:
          return ColourPressed(false);
        default:
          return;
      }
    });
  }
  // Pressed, the face stays and the caption turns orange.
  Button(kAdvanced)->LoadAltImage(art::kFaceButton);
  Button(kAdvanced)->SetClickToggle(true);
  Button(kAdvanced)->SetTextColor(kAdvancedReleased);
  for (const SwitchSpec& s : kSwitches) MakePageSwitch(this, s.id, s.at);
  connect(Button(kSwitch), &QAbstractButton::clicked, this, [this] { SwitchPressed(); });
  connect(Button(kAlignToggle), &QAbstractButton::clicked, this, [this] { UpdatePreview(); });
  for (int k = 0; k < 4; ++k) {
    CGdipButton* toggle = MakePageSwitch(this, kFirstOutputToggle + k, kOutputToggleAt[k]);
    QLabel* label = MakePageLabel(this, kFirstOutputLabel + k,
                                  QStringLiteral("Output %1").arg(k + 1), kOutputLabelAt[k]);
    connect(toggle, &QAbstractButton::clicked, this, [this, k] { OutputToggled(k); });
    if (k >= kVisibleOutputs) {
      toggle->hide();
      toggle->setEnabled(false);
      label->hide();
      label->setEnabled(false);
    }
  }
  for (std::size_t i = 0; i < std::size(kLists); ++i) {
    lists_[i] = MakePageDropList(this, kLists[i].id, kLists[i].where);
  }
}

void MSubTitleDlg::FillLists() {
  for (std::size_t i = 0; i < std::size(kLists); ++i) {
    const ListSpec& spec = kLists[i];
    CDropButton* list = lists_[i];
    const int kept = std::max(0, list->GetCurSel());
    list->ResetContent();
    for (int n = 0; n < spec.count; ++n) {
      const int at = list->List()->AddString(UiQText(spec.firstText + n));
      list->List()->SetItemData(at, static_cast<uint32_t>(n));
    }
    list->SetCurSel(spec.id == kCaptionListId ? current_ : std::min(kept, spec.count - 1));
  }
}

void MSubTitleDlg::SetPageHeight(int units) {
  resize(static_cast<int>(kPageWidth * DpiScaleX()), static_cast<int>(units * DpiScaleX()));
  // The opened view grows downwards; a page that would reach past the
  // window's bottom moves up instead of being cut.
  if (const QWidget* parent = parentWidget()) {
    const int bottomRoom = parent->height() - height();
    if (y() > bottomRoom) move(x(), std::max(0, bottomRoom));
  }
}

void MSubTitleDlg::ReloadTexts() {
  MSettingsPage::ReloadTexts();
  ApplyDialogTexts(this, TemplateId());
  if (!Created() || groups_[0] == nullptr) return;
  for (std::size_t i = 0; i < std::size(kGroups); ++i)
    groups_[i]->SetText(UiQText(kGroups[i].text));
  FillLists();
  update();
}

void MSubTitleDlg::ShowPage(bool show) {
  if (!show && Advanced()) {
    ShowSwitch(Button(kAdvanced), false);
    CloseAdvanced();
  }
  // First shown: centred over the window it belongs to; later where the operator left it.
  if (show && !isVisible() && pos().isNull() && parentWidget() != nullptr) {
    move((parentWidget()->width() - width()) / 2, (parentWidget()->height() - height()) / 2);
  }
  MSettingsPage::ShowPage(show);
}

// The page is a window of its own: closing it tells the main window nothing.
void MSubTitleDlg::ClosePage() {
  ShowPage(false);
}

bool MSubTitleDlg::Advanced() const {
  return Button(kAdvanced) != nullptr && Button(kAdvanced)->IsChecked();
}

CGdipButton* MSubTitleDlg::Button(int id) const {
  return ControlAs<CGdipButton>(id);
}

oRealEdit* MSubTitleDlg::Edit(int id) const {
  return ControlAs<oRealEdit>(id);
}

CDropButton* MSubTitleDlg::List(int listId) const {
  for (std::size_t i = 0; i < std::size(kLists); ++i) {
    if (kLists[i].id == listId) return lists_[i];
  }
  return nullptr;
}

int MSubTitleDlg::Value(int editId) const {
  return static_cast<int>(Edit(editId)->Value());
}

int MSubTitleDlg::Selected(int listId) const {
  return std::max(0, List(listId)->GetCurSel());
}

// --- Messages ---------------------------------------------------------------

intptr_t MSubTitleDlg::OnMessage(const Message& message) {
  if (message.id == UM_LIST_SELECT) {
    ListChosen(static_cast<int>(message.wParam), static_cast<int>(message.lParam));
    return 1;
  }
  if (message.id == UM_VALUE_COMMITTED) {
    ValueCommitted(static_cast<int>(message.wParam));
    return 1;
  }
  return MSettingsPage::OnMessage(message);
}

void MSubTitleDlg::ListChosen(int listId, int index) {
  if (listId == kSpeedListId || listId == kDirectionListId) {
    SendMotion();
  } else if (listId == kBackgroundListId) {
    SendColours();
    UpdatePreview();
  } else if (listId == kCaptionListId && index >= 0 && index < 4) {
    current_ = index;
    SendCommand(CAPTION_B, current_, 2, Button(kSwitch)->IsChecked() ? 1 : 0);
    SendCommand(GET_CAPTION, current_);
    EnableButton(Button(kSave), false);
    SetSettingsEnabled(true);
  }
}

void MSubTitleDlg::ValueCommitted(int id) {
  CaptionPlace place;
  {
    auto s = State();
    place.hreso = s->block.OUTPUTRESO.HRESO;
    place.vreso = s->block.OUTPUTRESO.VRESO;
  }
  place.hstart = Value(kHStartEdit);
  place.vstart = Value(kVStartEdit);
  place.displayWidth = Value(kDisplayWidthEdit);
  place.width = Value(kWidthEdit);
  place.height = Value(kHeightEdit);
  struct Row {
    int id;
    CaptionEdit edit;
    int value;
  };
  const Row rows[] = {{kHStartEdit, CaptionEdit::HStart, place.hstart},
                      {kVStartEdit, CaptionEdit::VStart, place.vstart},
                      {kDisplayWidthEdit, CaptionEdit::DisplayWidth, place.displayWidth},
                      {kWidthEdit, CaptionEdit::Width, place.width},
                      {kHeightEdit, CaptionEdit::Height, place.height}};
  for (const Row& r : rows) {
    if (r.id != id) continue;
    ShowEditValue(Edit(id), ClampCaptionEdit(r.edit, r.value, place));
    if (id == kWidthEdit) {
      UpdatePreview();
      preview_->ReturnToLeftEdge();
      EnableButton(Button(kSave), false);
    } else if (id == kHeightEdit) {
      CommitHeight();
    } else {
      SendPlace();
    }
  }
}

// --- Commands -----------------------------------------------------------------

void MSubTitleDlg::SendColours() {
  const ColourBytes t = BytesOf(textColour_), b = BytesOf(backColour_);
  SendCommand(CAPTION_B, current_, 3, t.r, t.g, t.b, 255, b.r, b.g, b.b,
              Selected(kBackgroundListId));
}

void MSubTitleDlg::SendMotion() {
  SendCommand(CAPTION_B, current_, 0, Selected(kSpeedListId), Selected(kDirectionListId));
}

void MSubTitleDlg::SendPlace() {
  const int hs = Value(kHStartEdit), vs = Value(kVStartEdit), dw = Value(kDisplayWidthEdit);
  SendCommand(CAPTION_A, current_, 2, Lo(hs), Hi(hs), Lo(vs), Hi(vs), Lo(dw), Hi(dw), 0x55, 0x55);
}

// --- Buttons -------------------------------------------------------------------

void MSubTitleDlg::SwitchPressed() {
  const bool on = Button(kSwitch)->IsChecked();
  SendCommand(CAPTION_B, current_, 2, on ? 1 : 0);
  suppressStart_ = true;
  SendCommand(GET_CAPTION, current_);
  if (on) SetSettingsEnabled(true);
}

void MSubTitleDlg::OutputToggled(int output) {
  std::array<uint8_t, 4> shown{};
  {
    auto s = State();
    uint8_t* record = s->CAPTION_INFO[current_];
    record[24 + output] = Button(kFirstOutputToggle + output)->IsChecked() ? 1 : 0;
    std::copy_n(record + 24, 4, shown.begin());
  }
  SendCommand(CAPTION_B, current_, 4, shown[0], shown[1], shown[2], shown[3]);
}

void MSubTitleDlg::SavePressed() {
  Wait(true, UiQText(kTextWaitOperation));
  SetBusy(true);
  SendCommand(CAPTION_B, current_, 1);
  SetTimer(kSaveTimer, kSaveTimeoutMs);
}

// The device ends the reset with an event; the save timer is the way out
// when it does not.
void MSubTitleDlg::ResetPressed() {
  if (ShowMessageBox(this, UiQText(kTextResetQuestion), UiQText(kTextTips), MsgButtons::OkCancel) !=
      kIdOk) {
    return;
  }
  Wait(true, UiQText(kTextWaitOperation));
  SetBusy(true);
  SendCommand(CAPTION_B, 0x55, 5);
  SetTimer(kSaveTimer, kSaveTimeoutMs);
}

void MSubTitleDlg::AdvancedToggled() {
  const bool open = Advanced();
  Button(kAdvanced)->SetTextColor(open ? kAdvancedPressed : kAdvancedReleased);
  if (!open) {
    CloseAdvanced();
    return;
  }
  SetPageHeight(kOpenedHeight);
  SendCommand(GET_CAPTION, current_);
}

// Back to the closed view and the defaults, without telling the device.
void MSubTitleDlg::CloseAdvanced() {
  Button(kAdvanced)->SetTextColor(kAdvancedReleased);
  SetPageHeight(kClosedHeight);
  font_ = DefaultCaptionFont();
  backColour_ = 0;
  textColour_ = 255;
  for (int id : {kSpeedListId, kBackgroundListId, kDirectionListId}) List(id)->SetCurSel(0);
  UpdateTextLook();
  MeasureText();
  UpdatePreview();
}

void MSubTitleDlg::BrowsePressed() {
  const QString path =
      QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("BMP File(*.bmp)"));
  if (!path.isEmpty()) TakeBmpFile(path);
}

bool MSubTitleDlg::TakeBmpFile(const QString& path) {
  const auto refuse = [this](const QString& text) {
    ShowMessageBox(this, text, UiQText(kTextTips));
    return false;
  };
  // The header is checked before the picture is decoded: a file that lies
  // about its size or shape is refused with the reason.
  BmpHeader header;
  const BmpProblem problem = InspectBmpFile(path.toStdString(), &header);
  if (problem != BmpProblem::None) {
    return refuse(TextOf(kCannotUse).arg(path, ProblemText(problem)));
  }
  if (header.height > kCaptionMaxHeight || header.width > kCaptionMaxWidth) {
    return refuse(TextOf(kTooLarge));
  }
  const QImage image(path);
  if (image.isNull()) return refuse(TextOf(kCannotUse).arg(path, ProblemText(BmpProblem::NotBmp)));
  const MonoBitmap bitmap = ToMonoBitmap(image);
  if (!WriteMonoBmp(captionFile_.toStdString(), bitmap)) {
    return refuse(TextOf(kWriteFailed).arg(captionFile_));
  }
  ShowEditValue(Edit(kWidthEdit), bitmap.width);
  ShowEditValue(Edit(kHeightEdit), bitmap.height);
  fileMode_ = true;
  preview_->ShowPicture(ToImage(bitmap));
  preview_->ReturnToLeftEdge();
  return true;
}

void MSubTitleDlg::FontPressed() {
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, font_, this);
  if (ok) TakeFont(chosen);
}

void MSubTitleDlg::TakeFont(const QFont& font) {
  const int height = font.pixelSize() > 0 ? font.pixelSize() : QFontMetrics(font).height();
  font_ = CaptionFont(font, height);
  if (textEdit_->text().isEmpty()) textEdit_->setText(QStringLiteral("Welcome"));
  UpdateTextLook();
  MeasureText();
}

void MSubTitleDlg::ColourPressed(bool text) {
  const QColor chosen = QColorDialog::getColor(QColourOf(text ? textColour_ : backColour_), this);
  if (!chosen.isValid()) return;
  if (text) {
    TakeTextColour(ColourValue(chosen));
  } else {
    TakeBackColour(ColourValue(chosen));
  }
}

void MSubTitleDlg::TakeTextColour(uint32_t colour) {
  textColour_ = colour & 0xFFFFFF;
  SendColours();
  UpdateTextLook();
  UpdatePreview();
}

void MSubTitleDlg::TakeBackColour(uint32_t colour) {
  backColour_ = colour & 0xFFFFFF;
  SendColours();
  UpdateTextLook();
  UpdatePreview();
}

// --- Text -----------------------------------------------------------------------

void MSubTitleDlg::TextChanged() {
  fileMode_ = false;
  MeasureText();
}

void MSubTitleDlg::MeasureText() {
  const QString text = textEdit_->text();
  if (!text.isEmpty()) {
    const QSize size = MeasureCaptionText(text, font_);
    if (!Button(kAlignToggle)->IsChecked())
      ShowEditValue(Edit(kWidthEdit), RoundUpToFour(size.width()));
    ShowEditValue(Edit(kHeightEdit), size.height());
    CommitHeight();
  }
  UpdatePreview();
}

void MSubTitleDlg::CommitHeight() {
  CaptionPlace place;
  place.vreso = State()->block.OUTPUTRESO.VRESO;
  place.vstart = Value(kVStartEdit);
  ShowEditValue(Edit(kHeightEdit),
                ClampCaptionEdit(CaptionEdit::Height, Value(kHeightEdit), place));
  QRect r = textEdit_->geometry();
  r.setHeight(Value(kHeightEdit));
  textEdit_->setGeometry(r);
  UpdatePreview();
  EnableButton(Button(kSave), false);
}

void MSubTitleDlg::UpdateTextLook() {
  textEdit_->setFont(font_);
  QPalette palette = textEdit_->palette();
  palette.setColor(QPalette::Text, QColourOf(textColour_));
  palette.setColor(QPalette::Base, QColourOf(backColour_));
  textEdit_->setPalette(palette);
}

void MSubTitleDlg::UpdatePreview() {
  if (fileMode_) return;  // the picked picture stays until the text changes
  CaptionLook look;
  look.text = textEdit_->text();
  look.font = font_;
  look.textColour = textColour_;
  look.backColour = backColour_;
  look.backgroundMode = Selected(kBackgroundListId);
  look.alignCentre = Button(kAlignToggle)->IsChecked();
  look.captionWidth = Value(kWidthEdit);
  preview_->ShowText(look);
}

void MSubTitleDlg::SetSettingsEnabled(bool on) {
  for (int id : {kSpeedListId, kDirectionListId, kBackgroundListId}) List(id)->setEnabled(on);
  for (int id : {kTextColour, kBackColour}) EnableButton(Button(id), on);
  for (int id : {kHStartEdit, kVStartEdit, kDisplayWidthEdit}) Edit(id)->setEnabled(on);
  for (int k = 0; k < kVisibleOutputs; ++k) Button(kFirstOutputToggle + k)->setEnabled(on);
}

// --- The device's caption record -----------------------------------------------------

void MSubTitleDlg::RefreshCaption(int index) {
  NoteRefresh();
  if (!Created() || index < 0 || index > 3) return;
  ShowCaptionRecord(index);
}

// The list always names the caption the page's commands address.
void MSubTitleDlg::ShowCaptionRecord(int index) {
  std::array<uint8_t, 32> r{};
  {
    auto s = State();
    std::copy_n(s->CAPTION_INFO[index], r.size(), r.begin());
  }
  if (r[28] > 3) return;
  current_ = r[28];
  List(kCaptionListId)->SetCurSel(current_);
  if (!Advanced() || List(kCaptionListId)->GetCurSel() != current_) return;
  const int editIds[] = {kWidthEdit, kHeightEdit, kHStartEdit, kVStartEdit, kDisplayWidthEdit};
  for (int i = 0; i < 5; ++i) ShowEditValue(Edit(editIds[i]), U16(r.data(), 2 * i));
  textColour_ = U32(r.data(), 16) & 0xFFFFFF;
  backColour_ = U32(r.data(), 20) & 0xFFFFFF;
  const int height = U16(r.data(), 2);
  if (height >= 10 && height <= kCaptionMaxHeight) font_ = CaptionFont(font_, height);
  // Values outside a list leave it as it was.
  if (r[11] <= 1) List(kDirectionListId)->SetCurSel(r[11]);
  if (r[13] <= 2) List(kBackgroundListId)->SetCurSel(r[13]);
  if (r[10] <= 3) List(kSpeedListId)->SetCurSel(r[10]);
  UpdateTextLook();
  QRect g = textEdit_->geometry();
  g.setHeight(Value(kHeightEdit));
  textEdit_->setGeometry(g);
  UpdatePreview();
  ShowSwitch(Button(kSwitch), r[12] != 0);
  for (int k = 0; k < 4; ++k) ShowSwitch(Button(kFirstOutputToggle + k), r[24 + k] != 0);
}

void MSubTitleDlg::EnableCaptions() {
  NoteRefresh();
  if (!Created()) return;
  KillTimer(kSaveTimer);
  // A running upload keeps the page until it ends.
  if (upload_.Running() || awaitingStart_) return;
  SetBusy(false);
}

// --- The upload ---------------------------------------------------------------------

void MSubTitleDlg::PreviewPressed() {
  if (upload_.Running() || awaitingStart_) return;
  if (!fileMode_) {
    const MonoBitmap bitmap =
        RenderCaptionText(textEdit_->text(), font_, Value(kWidthEdit), Value(kHeightEdit),
                          Button(kAlignToggle)->IsChecked());
    captionFile_ = QString::fromStdString(UserDataFolder()) +
                   QStringLiteral("PFile%1.BMP").arg(Selected(kCaptionListId));
    if (!WriteMonoBmp(captionFile_.toStdString(), bitmap)) {
      ShowMessageBox(this, TextOf(kWriteFailed).arg(captionFile_), UiQText(kTextTips));
      return;
    }
  }
  suppressStart_ = false;
  Wait(true, UiQText(kTextWaitOperation));
  SetBusy(true);
  BmpProblem problem = BmpProblem::None;
  std::unique_ptr<CaptionBmpFile> file = CaptionBmpFile::Open(captionFile_.toStdString(), &problem);
  if (!file) {
    EndUpload(TextOf(kCannotUse).arg(captionFile_, ProblemText(problem)), UiQText(kTextTips));
    return;
  }
  pictureWidth_ = file->Width();
  pictureHeight_ = file->Height();
  pendingRows_ = std::move(file);
  uploadCaption_ = current_;
  if (!Advanced()) {
    SendColours();
    SendMotion();
  }
  SendCommand(CAPTION_A, uploadCaption_, 0, Lo(pictureWidth_), Hi(pictureWidth_),
              Lo(pictureHeight_), Hi(pictureHeight_), fileMode_ ? 1 : 0);
  awaitingStart_ = true;
  SetTimer(kStartTimer, kStartTimeoutMs);
  EnableButton(Button(kSave), true);
  SetSettingsEnabled(true);
  ShowEditValue(Edit(kHStartEdit), 0);
  ShowEditValue(Edit(kVStartEdit), 0);
  ShowEditValue(Edit(kDisplayWidthEdit), State()->block.OUTPUTRESO.HRESO);
}

void MSubTitleDlg::UploadStarted(bool ok) {
  NoteRefresh();
  // A start signal nobody asked for (no announced picture) changes nothing.
  if (!Created() || !awaitingStart_) return;
  if (!ok) {
    KillTimer(kStartTimer);
    awaitingStart_ = false;
    EndUpload(TextOf(kInvalid), QString());
    return;
  }
  if (suppressStart_) return;
  KillTimer(kStartTimer);
  awaitingStart_ = false;
  ApplyStep(upload_.Begin(std::move(pendingRows_), Button(kSwap)->IsChecked()));
}

void MSubTitleDlg::ChunkAcknowledged(int position) {
  NoteRefresh();
  if (position < 0) return;  // refused: the acknowledge timer resends
  ApplyStep(upload_.Acknowledged(static_cast<uint32_t>(position)));
}

void MSubTitleDlg::ApplyStep(CaptionUpload::Step step) {
  using Step = CaptionUpload::Step;
  switch (step) {
    case Step::Sent:
      SetTimer(kAckTimer, kAckTimeoutMs);
      ShowProgress();
      return;
    case Step::Ignored:
      return;  // the acknowledge timer keeps running
    case Step::Complete:
      KillTimer(kAckTimer);
      CompleteUpload();
      return;
    case Step::Abandoned:
      KillTimer(kAckTimer);
      EndUpload(UiQText(kTextTimeOut), UiQText(kTextTips));
      return;
    case Step::Failed:
      KillTimer(kAckTimer);
      EndUpload(TextOf(kReadFailed), UiQText(kTextTips));
      return;
  }
}

// Each step of the upload is a sign of life: showing the count again also
// restarts the wait box's own time-out.
void MSubTitleDlg::ShowProgress() {
  Wait(
      true,
      UiQText(kTextWaitOperation) +
          QStringLiteral(" %1/%2").arg(upload_.ChunksAcknowledged() + 1).arg(upload_.ChunkCount()));
}

// The caption that was uploaded is asked for: its record comes back, and the
// page stays on it.
void MSubTitleDlg::CompleteUpload() {
  const int c = uploadCaption_;
  const int hs = Value(kHStartEdit), vs = Value(kVStartEdit);
  SendCommand(CAPTION_A, c, 1, Lo(pictureWidth_), Hi(pictureWidth_), Lo(pictureHeight_),
              Hi(pictureHeight_), Lo(hs), Hi(hs), Lo(vs), Hi(vs));
  if (!Advanced()) SendCommand(CAPTION_B, c, 1);
  SendCommand(GET_CAPTION, c);
  ShowSwitch(Button(kSwitch), true);
  Wait(false);
  SetBusy(false);
}

void MSubTitleDlg::EndUpload(const QString& message, const QString& title) {
  upload_.Cancel();
  pendingRows_.reset();
  Wait(false);
  SetBusy(false);
  if (!message.isEmpty()) ShowMessageBox(this, message, title);
}

void MSubTitleDlg::OnTimer(uint32_t id) {
  switch (id) {
    case kAckTimer:
      KillTimer(kAckTimer);
      ApplyStep(upload_.TimedOut());
      return;
    case kStartTimer:
      KillTimer(kStartTimer);
      awaitingStart_ = false;
      EndUpload(UiQText(kTextTimeOut), UiQText(kTextTips));
      return;
    case kSaveTimer:
      KillTimer(kSaveTimer);
      Wait(false);
      SetBusy(false);
      return;
    default:
      MSettingsPage::OnTimer(id);
  }
}

// The page's own requests go to the main window synchronously: it runs on the
// GUI thread, and a show queued behind a hide would leave the box up.
void MSubTitleDlg::Wait(bool show, const QString& text) {
  SendMsg(NotifyWindow(this), UM_WAIT, show ? 1 : 0, 0, text);
}

void MSubTitleDlg::SetBusy(bool busy) {
  setEnabled(!busy);
}

QString MSubTitleDlg::ProblemText(BmpProblem problem) const {
  for (const ProblemRow& row : kProblems) {
    if (row.problem == problem) return TextOf(row.text);
  }
  return {};
}

// --- Moving by the title band ----------------------------------------------------------

void MSubTitleDlg::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && event->position().y() < kTitleHeight) {
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - pos();
    return;
  }
  MSettingsPage::mousePressEvent(event);
}

void MSubTitleDlg::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return MSettingsPage::mouseMoveEvent(event);
  QPoint to = event->globalPosition().toPoint() - dragOffset_;
  // The title band stays inside the window it belongs to, so it can be grabbed again.
  if (const QWidget* parent = parentWidget()) {
    to.setX(std::clamp(to.x(), kTitleHeight - width(), parent->width() - kTitleHeight));
    to.setY(std::clamp(to.y(), 0, std::max(0, parent->height() - kTitleHeight)));
  }
  move(to);
}

void MSubTitleDlg::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragging_ = false;
  MSettingsPage::mouseReleaseEvent(event);
}

}  // namespace orv
