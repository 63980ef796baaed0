// The controls gallery: every skinned control in each of its states, on one
// page, with the wait box animating over it. For looking at the skin and for
// screenshots:  controls-gallery [--screenshot file.png] [--delay ms]
#include <cstdio>

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "ArtIds.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CListCtrlCl.h"
#include "CMyEdit.h"
#include "CPictureEx.h"
#include "CProgressDlg.h"
#include "CSxGroupBox.h"
#include "MBaseDialog.h"
#include "ResourceRegistry.h"
#include "Skin.h"
#include "oBitmapSlider.h"
#include "oRealEdit.h"
#include "oSliderEdit.h"

using namespace orv;

namespace {

QString S(const char* text) {
  return QString::fromUtf8(text);
}

class Gallery : public MBaseDialog {
 public:
  Gallery() : MBaseDialog(1, nullptr, false) { setWindowTitle(S("Controls gallery")); }

 protected:
  bool OnInitDialog() override {
    MBaseDialog::OnInitDialog();
    SetTitleText(S("Controls Gallery"));
    resize(1180, 740);
    CreateTitleButtons(true);
    Buttons();
    GroupBoxes();
    Edits();
    Sliders();
    DropLists();
    ReportList();
    Animation();
    return true;
  }

 private:
  CSxGroupBox* Group(const char* caption, const QRect& r) {
    auto* g = new CSxGroupBox(S(caption), this);
    g->setGeometry(r);
    g->SetCaptionFont(skin::ArialFont(15, 700));
    g->SetCaptionColor(skin::kOrange);
    g->SetColors(QColor(70, 70, 70), QColor(30, 30, 30), QColor(50, 50, 50), QColor(30, 30, 30));
    g->lower();
    return g;
  }

  QLabel* Note(const char* text, const QRect& r, Qt::Alignment a = Qt::AlignHCenter) {
    auto* l = new QLabel(S(text), this);
    l->setFont(skin::ArialFont(13, 400));
    l->setAlignment(a | Qt::AlignTop);
    l->setGeometry(r);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(170, 170, 170));
    l->setPalette(pal);
    return l;
  }

  CGdipButton* Button(int image, int alt, const char* caption, QPoint at, const char* note) {
    auto* b = new CGdipButton(this);
    b->LoadImage(image);
    if (alt) b->LoadAltImage(alt);
    b->move(at);
    b->FitToImage();
    b->setText(S(caption));
    b->SetTextColor(skin::kText);
    b->SetCaptionFont(skin::ArialFont(15, 700));
    if (note) Note(note, QRect(at.x() - 10, at.y() + b->height() + 2, b->width() + 20, 16));
    return b;
  }

  void Buttons() {
    Group("Image buttons", QRect(12, 36, 560, 262));
    int x = 28;
    const int y = 62;
    Button(art::kFaceButton, art::kFaceButtonActive, "Apply", {x, y}, "normal");
    Button(art::kFaceButton, 0, "Apply", {x += 106, y}, "hover")->SetHoverForDisplay(true);
    Button(art::kFaceButton, 0, "Apply", {x += 106, y}, "pressed")->setDown(true);
    Button(art::kFaceButton, 0, "Apply", {x += 106, y}, "disabled look")->SetDisabledLook(true);
    auto* checked =
        Button(art::kFaceButton, art::kFaceButtonActive, "Apply", {x += 106, y}, "checked");
    checked->SetStayPushed(true);
    checked->SetChecked(true);
    checked->SetTextColor(QColor(20, 20, 20));

    x = 28;
    const int y2 = 118;
    Button(art::kFacePage, art::kFacePageActive, "OUTPUT", {x, y2}, "page button");
    auto* shown = Button(art::kFacePage, art::kFacePageActive, "PIP", {x += 92, y2}, "page shown");
    shown->SetClickToggle(true);
    shown->SetChecked(true);
    shown->SetTextColor(QColor(20, 20, 20));
    Button(art::kFaceLayer, 0, "MAIN", {x += 92, y2 + 5}, "PGM layer");
    auto* on =
        Button(art::kFaceLayer, art::kFaceLayerActive, "PIP-1", {x += 82, y2 + 5}, "layer on");
    on->SetClickToggle(true);
    on->SetChecked(true);
    on->SetTextColor(QColor(20, 20, 20));
    auto* take = Button(art::kFaceTake, 0, "TAKE", {x += 84, y2}, "TAKE");
    take->SetTextColor(QColor(20, 20, 20));
    auto* tab = Button(art::kFaceTab, art::kFaceTabActive, "Keyer", {x += 104, y2 + 5}, "tab");
    tab->SetCaptionFont(skin::ArialFont(15, 700));

    x = 28;
    const int y3 = 186;
    Button(art::kFaceSwitchOff, art::kFaceSwitchOn, "", {x, y3}, "switch off");
    auto* sw = Button(art::kFaceSwitchOff, art::kFaceSwitchOn, "", {x += 80, y3}, "switch on");
    sw->SetClickToggle(true);
    sw->SetChecked(true);
    Button(art::kFacePreset, art::kFacePresetActive, "1", {x += 80, y3 - 3}, "preset");
    auto* p =
        Button(art::kFacePreset, art::kFacePresetActive, "2", {x += 76, y3 - 3}, "preset chosen");
    p->SetStayPushed(true);
    p->SetChecked(true);
    p->SetTextColor(QColor(20, 20, 20));
    Button(art::kLampOff, 0, "", {x += 92, y3 + 4}, nullptr);
    Button(art::kLampOn, 0, "", {x += 24, y3 + 4}, nullptr);
    Note("lamps", QRect(x - 30, y3 + 24, 60, 16));
    Button(art::kTitleClose, 0, "", {x += 44, y3}, nullptr);
    Button(art::kTitleMaximise, 0, "", {x += 30, y3}, nullptr);
    Button(art::kTitleRestore, 0, "", {x += 30, y3}, nullptr);
    Note("title buttons", QRect(x - 70, y3 + 28, 110, 16));

    // The input strip's slot pictures.
    x = 28;
    const int y4 = 250;
    const int slotPictures[][2] = {
        {art::kSlotDvi, art::kSlotDviSelected}, {art::kSlotHdmi, art::kSlotHdmiSelected},
        {art::kSlotDp, art::kSlotDpSelected},   {art::kSlotSdi, art::kSlotSdiSelected},
        {art::kSlotVga, art::kSlotVgaSelected}, {art::kSlotUsb, art::kSlotUsbSelected}};
    for (int i = 0; i < 6; ++i) {
      Button(slotPictures[i][i == 2 ? 1 : 0], 0, "", {x, y4}, nullptr);
      x += 70;
    }
    Button(art::kSignalPresent, 0, "", {x + 4, y4 + 2}, nullptr);
    Button(art::kSignalAbsent, 0, "", {x + 4, y4 + 14}, nullptr);
  }

  void GroupBoxes() {
    Group("Group boxes", QRect(584, 36, 584, 150));
    struct Box {
      const char* caption;
      int align;
      int style;
      bool enabled;
      QRect r;
    };
    const Box boxes[] = {
        {"Loop-Out", CSxGroupBox::kLeft, CSxGroupBox::kFlat, true, {600, 66, 170, 50}},
        {"Sync Mode", CSxGroupBox::kCentre, CSxGroupBox::kSunken, true, {784, 66, 170, 50}},
        {"Right", CSxGroupBox::kRight, CSxGroupBox::kRaised, true, {968, 66, 186, 50}},
        {"Disabled", CSxGroupBox::kLeft, CSxGroupBox::kFlat, false, {600, 126, 170, 50}},
        {"", CSxGroupBox::kLeft, CSxGroupBox::kFlat, true, {784, 126, 170, 50}},
    };
    for (const Box& b : boxes) {
      auto* g = new CSxGroupBox(S(b.caption), this, 0, b.align);
      g->setGeometry(b.r);
      g->SetCaptionFont(skin::ArialFont(15, 700));
      g->SetCaptionColor(skin::kText);
      g->SetFrameStyle(b.style);
      g->SetColors(QColor(120, 120, 120), QColor(40, 40, 40), QColor(60, 60, 60),
                   QColor(30, 30, 30));
      g->setEnabled(b.enabled);
    }
    Note("flat, left", QRect(600, 92, 170, 16));
    Note("sunken, centre", QRect(784, 92, 170, 16));
    Note("raised, right", QRect(968, 92, 186, 16));
    Note("disabled", QRect(600, 152, 170, 16));
    Note("no caption: closed frame", QRect(784, 152, 170, 16));
  }

  void Edits() {
    Group("Numeric and text edits", QRect(584, 196, 584, 102));
    auto* a = new oRealEdit(this, 2001);
    a->Setup(128, 0, true, 255, S("%d"));
    a->setGeometry(604, 224, 70, 24);
    Note("%d, 0..255", QRect(594, 252, 90, 16));
    auto* b = new oRealEdit(this, 2002);
    b->Setup(2.5f, 0, true, 10, S("%.2f"));
    b->setGeometry(700, 224, 70, 24);
    Note("%.2f, 0..10", QRect(690, 252, 90, 16));
    auto* c = new oRealEdit(this, 2003);
    c->Setup(-20, -50, false, 50, S("%d"));
    c->setGeometry(796, 224, 70, 24);
    Note("disabled", QRect(786, 252, 90, 16));
    // An edit that refused a character: "12" typed, then "x" swallowed.
    auto* d = new oRealEdit(this, 2004);
    d->Setup(0, 0, true, 999, S("%d"));
    d->setGeometry(892, 224, 70, 24);
    d->setText(S("12"));
    const bool accepted = AcceptsChar(QLatin1Char('x'), d->text(), 2, 2, d->Limits());
    Note(accepted ? "x accepted?" : "typed 12x: x refused", QRect(872, 252, 120, 30));
    auto* e = new CMyEdit(this, 2005);
    e->setText(S("Preset 1-1"));
    e->setGeometry(1010, 224, 140, 24);
    Note("inline rename", QRect(1010, 252, 140, 16));
  }

  oBitmapSlider* Slider(QPoint at, bool vertical) {
    auto* s = new oBitmapSlider(this, 0, vertical);
    if (vertical) {
      s->LoadChannel(art::kSliderChannelV, art::kSliderChannelActiveV);
      s->LoadThumb(art::kSliderThumbV, art::kSliderThumbActiveV);
    } else {
      s->LoadChannel(art::kSliderChannel, art::kSliderChannelActive);
      s->LoadThumb(art::kSliderThumb, art::kSliderThumbActive);
    }
    s->move(at);
    return s;
  }

  void Sliders() {
    Group("Sliders", QRect(12, 308, 560, 236));
    const struct {
      const char* label;
      float value;
      bool enabled;
      int y;
    } rows[] = {{"Brightness :", 30, true, 340},
                {"Contrast :", 75, true, 380},
                {"Alpha :", 40, false, 420}};
    int id = 2101;
    for (const auto& r : rows) {
      Note(r.label, QRect(28, r.y, 90, 18), Qt::AlignRight);
      auto* s = Slider({128, r.y}, false);
      auto* e = new oSliderEdit(this, id++);
      e->Setup(r.value, 0, r.enabled, 100, S("%d"));
      e->setGeometry(340, r.y - 4, 56, 24);
      e->Bind(s);
    }
    Note("moved by keys", QRect(404, 340, 140, 18), Qt::AlignLeft);
    Note("disabled", QRect(404, 420, 140, 18), Qt::AlignLeft);
    auto* v = Slider({520, 334}, true);
    auto* ve = new oSliderEdit(this, 2110);
    ve->Setup(0.6f, 0, true, 1, S("%.2f"));
    ve->setGeometry(440, 500, 56, 24);
    ve->Bind(v);
    Note("vertical", QRect(420, 476, 90, 18), Qt::AlignRight);
    // Move one slider as an operator would, with the keyboard.
    if (auto* second = findChildren<oBitmapSlider*>().value(1)) second->SetPos(75);
  }

  CDropButton* Drop(const QRect& r, int id, const QStringList& entries, int chosen) {
    auto* d = new CDropButton;
    d->Create(QString(), this, id, QColor(16, 16, 16), QColor(16, 16, 16), QColor(235, 235, 235),
              nullptr, QColor(255, 255, 255), r);
    d->SetListColor(QColor(46, 46, 46));
    for (int i = 0; i < entries.size(); ++i) {
      d->List()->SetItemData(d->List()->AddString(entries[i]), static_cast<uint32_t>(i));
    }
    d->SetCurSel(chosen);
    return d;
  }

  void DropLists() {
    Group("Drop lists", QRect(584, 308, 584, 236));
    const QStringList resolutions = {S("1920x1080@60"), S("1280x720@60"), S("3840x2160@30"),
                                     S("1024x768@60"), S("1600x1200@60")};
    Drop(QRect(604, 340, 160, 22), 0xAFC0, resolutions, 0);
    Note("closed", QRect(604, 366, 160, 16));
    auto* hover = new CDropButton;
    hover->Create(QString(), this, 0xAFD0, QColor(16, 16, 16), QColor(46, 46, 46),
                  QColor(235, 235, 235), nullptr, QColor(46, 46, 46), QRect(604, 396, 160, 22));
    hover->List()->AddString(resolutions[1]);
    hover->SetCurSel(0);
    hover->SetHoverForDisplay(true);
    hover_ = hover;
    Note("hover", QRect(604, 422, 160, 16));
    auto* off = Drop(QRect(604, 446, 160, 22), 0xFF77, resolutions, 2);
    off->setEnabled(false);
    Note("disabled", QRect(774, 450, 80, 16), Qt::AlignLeft);
    const QStringList inputs = {S("DVI-1"),  S("HDMI-1"), S("DVI-2"),
                                S("HDMI-2"), S("DP"),     S("SDI")};
    open_ = Drop(QRect(860, 340, 150, 22), 0xA001, inputs, 1);
    open_->List()->SetItemFlags(3, CDropList::kUnavailable);
    Note("open, HDMI-2 unavailable", QRect(1014, 344, 150, 32), Qt::AlignLeft);
  }

  void ReportList() {
    Group("Report list", QRect(12, 554, 560, 176));
    auto* list = new CListCtrlCl(this, 1166);
    list->setGeometry(28, 582, 528, 134);
    list->SetBkColor(QColor(16, 16, 16));
    list->SetTextColor(QColor(235, 235, 235));
    list->Header()->SetGradient(QColor(83, 83, 83), 6);
    list->Header()->SetTextColor(QColor(235, 235, 235));
    list->SetRowHeight(24);
    list->InsertColumn(0, S("Machine"), QLatin1Char('0'), 180);
    list->InsertColumn(1, S("IP"), QLatin1Char('0'), 150);
    list->InsertColumn(2, S("MAC"), QLatin1Char('0'), 190);
    const char* rows[][3] = {{"Stage left", "127.0.0.2", "00-1B-22-00-00-02"},
                             {"Stage right", "127.0.0.3", "00-1B-22-00-00-03"},
                             {"Foyer", "127.0.0.4", "00-1B-22-00-00-04"}};
    for (int r = 0; r < 3; ++r) {
      list->InsertItem(r, S(rows[r][0]));
      list->SetItemText(r, 1, S(rows[r][1]));
      list->SetItemText(r, 2, S(rows[r][2]));
    }
    list->selectRow(1);
  }

  void Animation() {
    Group("Animated picture", QRect(584, 554, 584, 176));
    auto* pic = new CPictureEx(this);
    pic->move(604, 586);
    if (pic->Load(art::kWaitAnimation)) pic->Draw();
    Note("wait animation, 12 frames", QRect(604, 614, 200, 16), Qt::AlignLeft);
  }

 public:
  void OpenTheList() {
    if (open_) open_->OpenList();
    // Opening takes the mouse from the button under the pointer; keep its look.
    if (hover_) hover_->SetHoverForDisplay(true);
  }

 private:
  CDropButton* open_ = nullptr;
  CDropButton* hover_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QString shot;
  int delayMs = 1500;
  const QStringList args = app.arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == S("--screenshot") && i + 1 < args.size()) shot = args[++i];
    if (args[i] == S("--delay") && i + 1 < args.size()) delayMs = args[++i].toInt();
  }
  Gallery gallery;
  gallery.Create();
  gallery.move(0, 0);
  gallery.ShowPage(true);

  Orv_PrograssDlg wait(&gallery);
  wait.InitDialog();
  wait.SetMessageText(S("Waitting Operation ..."));
  wait.move(gallery.x() + 780, gallery.y() + 570);
  wait.show();

  // The open list last, so that it is on top of everything.
  QTimer::singleShot(300, &gallery, [&gallery] { gallery.OpenTheList(); });

  int status = 0;
  if (!shot.isEmpty()) {
    QTimer::singleShot(delayMs, &app, [&] {
      QScreen* screen = QGuiApplication::primaryScreen();
      const QPixmap pixmap = screen ? screen->grabWindow(0) : gallery.grab();
      if (!pixmap.save(shot)) status = 1;
      app.quit();
    });
  }
  const int rc = app.exec();
  // Any picture number the gallery asked for and did not find is a failure.
  for (const auto& [type, id] : MissingResources()) {
    std::fprintf(stderr, "controls-gallery: missing picture %d\n", id);
    status = 2;
  }
  return rc != 0 ? rc : status;
}
