#include "ChangesControl.h"

#include <QApplication>
#include <QDateTime>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include "ChangeTexts.h"
#include "ChangesPanel.h"
#include "Ini.h"
#include "Messages.h"
#include "RotatingLog.h"

namespace orv {

namespace {

constexpr const char* kSection = "Changes";
constexpr const char* kShownKey = "Shown";
constexpr int kNoticeMs = 8000;

std::string LogLine(const ChangeLine& line, WordsLanguage language) {
  const QString time = QDateTime::fromMSecsSinceEpoch(line.timeMs)
                           .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
  return time.toStdString() + "\t" + line.StateText(language) + "\t" +
         line.words[static_cast<std::size_t>(language)];
}

// Keys of undo and redo on a shortcut of `owner`; a text field being edited
// keeps them (it takes Ctrl+Z and Ctrl+Y for its own undo before shortcuts).
void AddKeys(QWidget* owner, QObject* context, const std::function<void()>& undo,
             const std::function<void()>& redo) {
  auto add = [&](const QKeySequence& keys, const std::function<void()>& action) {
    auto* shortcut = new QShortcut(keys, owner);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, context, action);
  };
  add(QKeySequence(Qt::CTRL | Qt::Key_Z), undo);
  add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), redo);
  add(QKeySequence(Qt::CTRL | Qt::Key_Y), redo);
}

}  // namespace

ChangesControl::ChangesControl(QWidget& window, QWidget& content, Options options)
    : QObject(&window), window_(window), options_(std::move(options)) {
  language_ = ActiveWordsLanguage();
  if (!options_.logPath.empty()) {
    RotatingLog::Options logOptions;
    logOptions.path = options_.logPath;
    log_ = std::make_unique<RotatingLog>(logOptions);
    QPointer<ChangesControl> self(this);
    log_->SetFailureHandler([self](const std::string& what) {
      const QString text =
          ChangeUiTextOf(ChangeUiText::kLogFailed).arg(QString::fromStdString(what));
      RunOnGuiThread([self, text] {
        if (self) self->Notice(text);
      });
    });
  }
  history_ = std::make_unique<ChangeHistory>(options_.history);
  if (options_.refresh) history_->SetRefreshHandler(options_.refresh);
  history_->SetLineListener([this](const ChangeLine& line) { OnLine(line); });

  panel_ = new ChangesPanel(
      &window, [this] { Undo(); }, [this] { Redo(); });
  panel_->SetLanguage(language_);
  toggle_ = new QPushButton(&content);
  toggle_->setCheckable(true);
  toggle_->setFocusPolicy(Qt::NoFocus);
  toggle_->setStyleSheet(QStringLiteral(
      "QPushButton { background: rgb(46,46,46); color: rgb(235,235,235);"
      " border: 1px solid rgb(90,90,90); }"
      "QPushButton:checked { color: rgb(239,156,0); border-color: rgb(239,156,0); }"));
  connect(toggle_, &QPushButton::toggled, this, [this](bool on) { SetPanelShown(on); });
  toggle_->show();
  notice_ = new QLabel(&content);
  notice_->setStyleSheet(
      QStringLiteral("QLabel { color: rgb(239,156,0); background: rgb(16,16,16); }"));
  notice_->hide();

  AddKeys(
      &window, this, [this] { Undo(); }, [this] { Redo(); });
  AddKeys(
      panel_, this, [this] { Undo(); }, [this] { Redo(); });
  qApp->installEventFilter(this);

  ApplyTexts();
  // The operator's last choice; nothing is written until they choose.
  if (ReadSetting(kSection, kShownKey, options_.settingsPath) == "1") ShowPanel(true);
}

ChangesControl::~ChangesControl() {
  qApp->removeEventFilter(this);
  history_.reset();
  log_.reset();
  delete panel_;
}

void ChangesControl::OnLine(const ChangeLine& line) {
  const WordsLanguage language = language_.load();
  if (log_) log_->Append(LogLine(line, language));
  QPointer<ChangesPanel> panel = panel_;
  RunOnGuiThread([panel, line] {
    if (panel) panel->Show(line);
  });
}

StepResult ChangesControl::Undo() {
  return Step(false);
}

StepResult ChangesControl::Redo() {
  return Step(true);
}

void ChangesControl::ForgetSteps() {
  history_->ForgetSteps();
  Notice(ChangeUiTextOf(ChangeUiText::kForgotten));
}

StepResult ChangesControl::Step(bool redo) {
  const StepResult result = redo ? history_->Redo() : history_->Undo();
  Notice(QString::fromStdString(result.Message(language_.load())));
  return result;
}

void ChangesControl::Notice(const QString& text) {
  if (panel_) panel_->SetNotice(text);
  notice_->setText(text);
  notice_->setToolTip(text);
  notice_->show();
  notice_->raise();
  const uint64_t serial = ++noticeSerial_;
  QPointer<QLabel> label = notice_;
  QTimer::singleShot(kNoticeMs, this, [this, label, serial] {
    if (label && serial == noticeSerial_) label->hide();
  });
}

void ChangesControl::SetPanelShown(bool shown) {
  ShowPanel(shown);
  WriteProfileString(kSection, kShownKey, shown ? "1" : "0", options_.settingsPath);
}

void ChangesControl::ShowPanel(bool shown) {
  if (panel_ == nullptr) return;
  if (shown && !panel_->isVisible()) {
    // Beside the main window's right edge, where the operator looks for it.
    const QRect frame = window_.frameGeometry();
    panel_->move(frame.right() - panel_->width() - 24, frame.top() + 120);
  }
  panel_->setVisible(shown);
  if (toggle_->isChecked() != shown) {
    const QSignalBlocker block(toggle_);
    toggle_->setChecked(shown);
  }
}

bool ChangesControl::PanelShown() const {
  return panel_ != nullptr && panel_->isVisible();
}

void ChangesControl::ApplyTexts() {
  language_ = ActiveWordsLanguage();
  toggle_->setText(ChangeUiTextOf(ChangeUiText::kTitle));
  if (panel_) {
    panel_->SetLanguage(language_);
    panel_->ApplyTexts();
    panel_->ShowAll(history_->Lines());
  }
}

void ChangesControl::Place(const QRect& button, const QRect& notice) {
  toggle_->setGeometry(button);
  notice_->setGeometry(notice);
}

bool ChangesControl::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) &&
      watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == &window_) {
    // A press until its release is one gesture: a drag, a slider pull.
    // The release ends it only after what the release posts (the canvas's
    // moved window) was handled, so that its send belongs to the gesture:
    // this filter runs before the widget, so the end is queued twice.
    if (type == QEvent::MouseButtonPress) {
      history_->BeginGesture();
    } else {
      QTimer::singleShot(
          0, this, [this] { QTimer::singleShot(0, this, [this] { history_->EndGesture(); }); });
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace orv
