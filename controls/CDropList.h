#pragma once
// The drop list: CDropButton is the flat button a page creates and talks to;
// pressing it opens CListWnd, a borderless pop-up right below it that hosts
// CDropList, the owner-drawn list of entries. Choosing an available entry
// with the mouse closes the pop-up, shows the entry in the button and posts
// UM_LIST_SELECT (0x466, wParam = list id, lParam = entry index) to the
// button's parent. A selection change made from the keyboard while the
// mouse is not over the pop-up is undone and reports nothing.
//
// Pages fill the list through List(): AddString, SetItemData, SetItemFlags
// (unavailable entries are grey and cannot be chosen), ResetContent.
#include <cstdint>
#include <optional>

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QListWidget>
#include <QPolygon>

#include "Messages.h"

namespace orv {

class CDropButton;
class CListWnd;

class CDropList : public QListWidget {
  Q_OBJECT
 public:
  static constexpr int kAvailable = 32;
  static constexpr int kUnavailable = 2;
  static constexpr int kControlId = 1125;

  explicit CDropList(CListWnd* popup);

  // Appends an entry (text colour (213,213,213), selected text black, available).
  int AddString(const QString& text);
  // -1 when the index is not below the entry count.
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const { return count(); }
  QString GetText(int index) const;
  void SetItemData(int index, uint32_t itemData);
  uint32_t GetItemData(int index) const;
  void SetItemFlags(int index, int flags);
  int GetItemFlags(int index) const;
  bool IsAvailable(int index) const;
  void SetItemColors(int index, QColor text, QColor selectedText);

  void SetListColor(QColor colour);
  QColor ListColor() const { return listColour_; }
  QColor SelectionColor() const { return QColor(247, 247, 239); }
  // Only the first call counts: the list takes the font and its height as
  // the entry height.
  void SetListFont(const QFont& font);
  int ItemHeight() const { return itemHeight_; }

  int GetCurSel() const { return currentRow(); }
  // Selects without reporting a choice.
  void SelectQuietly(int index);
  int CommittedIndex() const { return committed_; }
  void SetCommittedIndex(int index) { committed_ = index; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void OnSelectionChanged(int row);
  CListWnd* popup_;
  QColor listColour_{255, 255, 255};
  bool fontSet_ = false;
  int itemHeight_ = 15;
  int committed_ = 0;
  bool quiet_ = false;
};

class CListWnd : public QWidget {
  Q_OBJECT
 public:
  explicit CListWnd(CDropButton* owner);
  CDropList* List() const { return list_; }
  CDropButton* Owner() const { return owner_; }
  // Whether the mouse pointer, as last seen by the pop-up, is over it.
  bool CursorInside() const;
  void NoteCursor(const QPointF& globalPos);
  void ForgetCursor();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CDropButton* owner_;
  CDropList* list_ = nullptr;
  std::optional<QPointF> cursor_;
};

class CDropButton : public QAbstractButton, public MessageTarget {
  Q_OBJECT
 public:
  static constexpr int kMaxDropHeight = 100;

  explicit CDropButton(QWidget* parent = nullptr);
  ~CDropButton() override;

  // Makes the button a visible child of `parent` at `rect`. A fill or text
  // colour of nullopt takes the defaults (faces (221,217,205) / (233,229,217),
  // black text); no font makes the button's own (Arial 15, normal weight).
  // Pages use: empty text, fills (16,16,16), text (235,235,235), no font,
  // list colour (255,255,255), then SetListColor((46,46,46)).
  bool Create(const QString& text, QWidget* parent, int listId, std::optional<QColor> normalFill,
              std::optional<QColor> hoverFill, std::optional<QColor> textColour, const QFont* font,
              QColor listColour, const QRect& rect);

  CDropList* List() const { return list_; }
  CListWnd* Popup() const { return popup_; }
  int ListId() const { return listId_; }
  bool ShowChoice() const { return showChoice_; }
  void SetShowChoice(bool on) { showChoice_ = on; }
  bool Hovering() const { return hovering_; }
  bool PopupShown() const;
  QRect DropRect() const { return dropRect_; }
  const QFont& ButtonFont() const { return font_; }
  QColor TextColor() const { return textColour_; }

  // Shows entry `index` in the button and selects it, without a notification.
  void SetCurSel(int index);
  int GetCurSel() const;
  // Selects the first entry carrying `data` (entry 0 when none does); 0 when
  // the button has not been created.
  int SelectByData(uint32_t itemData);
  // Index of the first entry carrying `data`, -1 when none or not created.
  int FindByData(uint32_t itemData) const;
  void SetListColor(QColor colour);
  void ResetContent();

  void OpenList();
  void CloseList();
  // The arrow for a letter "M" `w` pixels wide in `rect`: top corners
  // (x0, y0) and (x0 + w - 1, y0), tip (x0 + w/2, y0 + w/2), x0 = right - w - 5.
  static QPolygon ArrowPoints(const QRect& rect, int w);
  // Height of the opened list area for `entries` entries of `itemHeight`.
  static int DropHeight(int entries, int itemHeight);

  intptr_t OnMessage(const Message& message) override;

  // The gallery shows the hover look without a mouse (kept when it leaves).
  void SetHoverForDisplay(bool on);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  bool created_ = false;
  int listId_ = 0;
  QWidget* notify_ = nullptr;
  bool showChoice_ = true;
  bool hovering_ = false;
  bool pinnedHover_ = false;
  QRect dropRect_;
  QColor normalFill_{221, 217, 205};
  QColor hoverFill_{233, 229, 217};
  QColor disabledFill_{46, 46, 46};
  QColor textColour_{0, 0, 0};
  QColor border_{30, 30, 30};
  QFont font_;
  CListWnd* popup_ = nullptr;
  CDropList* list_ = nullptr;
};

}  // namespace orv
