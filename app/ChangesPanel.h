#pragma once
// The changes list: a small tool window beside the main window with one row
// per change (time, words, state), newest on top, the undo and redo buttons
// and one line that says what the last undo or redo did, or why not.
#include <QHash>
#include <QWidget>

#include <functional>
#include <vector>

#include "ChangeHistory.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace orv {

class ChangesPanel : public QWidget {
 public:
  static constexpr int kMaxRows = 1000;

  ChangesPanel(QWidget* parent, std::function<void()> undo, std::function<void()> redo);

  // Adds the line on top, or updates the row it already has.
  void Show(const ChangeLine& line);
  // All lines again (after a language switch).
  void ShowAll(const std::vector<ChangeLine>& lines);
  void SetLanguage(WordsLanguage language);
  void SetNotice(const QString& text);
  void ApplyTexts();

  QTreeWidget* List() const { return list_; }
  QLabel* Notice() const { return notice_; }
  QPushButton* UndoButton() const { return undo_; }
  QPushButton* RedoButton() const { return redo_; }

 private:
  void Fill(QTreeWidgetItem* item, const ChangeLine& line) const;

  WordsLanguage language_ = WordsLanguage::English;
  QTreeWidget* list_ = nullptr;
  QLabel* notice_ = nullptr;
  QPushButton* undo_ = nullptr;
  QPushButton* redo_ = nullptr;
  QHash<quint64, QTreeWidgetItem*> rows_;
};

}  // namespace orv
