#pragma once
// The main window's side of the undo history: the history itself, its log
// beside the project, the changes list window and its toggle, the keys
// (Ctrl+Z undo; Ctrl+Shift+Z and Ctrl+Y redo), the gestures (a mouse press
// to its release is one step) and the one-line notice of what undo did.
#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <memory>
#include <string>

#include "ChangeHistory.h"
#include "ChangesPanel.h"

class QLabel;
class QPushButton;
class QShortcut;
class QWidget;

namespace orv {

class RotatingLog;

class ChangesControl : public QObject {
 public:
  struct Options {
    std::string settingsPath;  // Info.ini: [Changes] Shown
    std::string logPath;       // the rotating log; empty: none
    // What to do after an undo or redo was sent (the main window refreshes
    // the pages that show its fields).
    std::function<void(uint16_t command, int reportType, int arg)> refresh;
    ChangeHistory::Options history;
  };

  // `window` is the main window (keys, gestures); `content` holds the toggle
  // button and the notice.
  ChangesControl(QWidget& window, QWidget& content, Options options);
  ~ChangesControl() override;

  // The operator's undo and redo: sent, and said in one line.
  StepResult Undo();
  StepResult Redo();
  // The panel drives another processor: the undo steps are dropped and the
  // operator is told.
  void ForgetSteps();

  // Shows or hides the list and remembers it in Info.ini ([Changes] Shown).
  void SetPanelShown(bool shown);
  bool PanelShown() const;
  void ApplyTexts();
  // The toggle button and the notice, placed by the main window.
  void Place(const QRect& button, const QRect& notice);

  ChangeHistory& History() { return *history_; }
  ChangesPanel* Panel() const { return panel_; }
  QPushButton* ToggleButton() const { return toggle_; }
  QLabel* NoticeLine() const { return notice_; }
  // The log's path ("" when none) and the log, for tests.
  const std::string& LogPath() const { return options_.logPath; }
  RotatingLog* Log() const { return log_.get(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  StepResult Step(bool redo);
  void ShowPanel(bool shown);
  void Notice(const QString& text);
  void OnLine(const ChangeLine& line);

  QWidget& window_;
  Options options_;
  std::atomic<WordsLanguage> language_{WordsLanguage::English};
  std::unique_ptr<RotatingLog> log_;  // destroyed after the history that feeds it
  std::unique_ptr<ChangeHistory> history_;
  QPointer<ChangesPanel> panel_;
  QPushButton* toggle_ = nullptr;
  QLabel* notice_ = nullptr;
  uint64_t noticeSerial_ = 0;
};

}  // namespace orv
