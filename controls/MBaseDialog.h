#pragma once
// The base of every page (settings pages, connection page, search window,
// video preview window): the dark background picture, the 26-pixel title band
// with its orange title, the skin's fonts, the close button in the top-right
// corner (and, for the video preview, a second title button), and the page
// operations the main window calls.
//
// A page is a QWidget that also takes numbered messages and owns numbered
// timers. Its life: construct, Create() (runs OnInitDialog once; the page
// stays hidden), ShowPage(true/false) as the operator chooses pages.
#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

#include "Keys.h"
#include "Messages.h"
#include "Timers.h"

namespace orv {

class CGdipButton;

class MBaseDialog : public QWidget,
                    public MessageTarget,
                    public TimerClient,
                    public KeyPreTranslator {
  Q_OBJECT
 public:
  static constexpr int kTitleHeight = 26;
  static constexpr int kCloseButtonId = 1002;
  static constexpr int kSecondTitleButtonId = 61438;

  // `templateId` names the page (language files address its texts by it).
  // With `notifyOnClose`, closing by the close button posts UM_PAGE_CLOSED
  // (0x5A1) to the window the page reports to.
  MBaseDialog(int templateId, QWidget* parent, bool notifyOnClose = false);
  ~MBaseDialog() override;

  int TemplateId() const { return templateId_; }
  bool NotifyOnClose() const { return notifyOnClose_; }

  // Runs the page's initialisation once (later calls return the first result).
  bool Create();
  bool Created() const { return created_; }

  virtual void ShowPage(bool show);
  // Re-reads the page's texts after a language change; the base does nothing.
  virtual void ReloadTexts();
  // Hides the page; with notify-on-close tells the main window (0x5A1).
  virtual void ClosePage();
  // Maximises the window when the maximised flag is set, else restores it.
  virtual void ToggleMaximise();

  // Creates the close button (1002) if missing, and with `second` the second
  // title button (61438, toggle mode, maximised flag cleared) if missing.
  void CreateTitleButtons(bool second = false);
  CGdipButton* CloseButton() const { return closeButton_; }
  CGdipButton* SecondTitleButton() const { return secondButton_; }
  bool Maximised() const { return maximised_; }
  void SetMaximised(bool on) { maximised_ = on; }
  bool SecondButtonToggleMode() const { return secondToggleMode_; }
  void PlaceTitleButtons();

  // Gives the control font to every direct child.
  void ApplyControlFont();

  void SetTitleText(const QString& text);
  QString TitleText() const { return titleText_; }

  // Controls by number.
  QWidget* Control(int id) const;
  template <class T>
  T* ControlAs(int id) const {
    return qobject_cast<T*>(Control(id));
  }
  bool SetControlText(int id, const QString& text);

  const QFont& TitleFont() const { return titleFont_; }
  const QFont& ControlFont() const { return controlFont_; }
  const QFont& FontTemplate() const { return fontTemplate_; }

  // The page's drawing steps, for pages that paint more than the base does.
  void PaintBackground(QPainter& p);
  void PaintTitle(QPainter& p, const QString& text);

  intptr_t OnMessage(const Message& message) override;
  // Enter/Escape key-downs are consumed; key-ups are offered to the parent window.
  bool PreTranslateKey(QKeyEvent* event) override;

 protected:
  // The page's own initialisation; overrides call the base first.
  virtual bool OnInitDialog();
  // Step 4 of the page painting, between the title band and the copy to screen.
  virtual void PaintPage(QPainter& p);
  void OnTimer(uint32_t id) override;

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Watches the key-ups of every control on the page (edits take them for
  // themselves, so they would never reach the page).
  void WatchKeys(QObject* object);

  const int templateId_;
  const bool notifyOnClose_;
  bool created_ = false;
  bool createResult_ = false;
  QString titleText_;
  QFont titleFont_;
  QFont controlFont_;
  QFont fontTemplate_;
  QImage background_;
  bool backgroundLoaded_ = false;
  CGdipButton* closeButton_ = nullptr;
  CGdipButton* secondButton_ = nullptr;
  bool secondToggleMode_ = false;
  bool maximised_ = false;
};

}  // namespace orv
