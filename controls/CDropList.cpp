#include "CDropList.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "ControlId.h"
#include "MessageIds.h"
#include "OwnEnabledState.h"
#include "Skin.h"

namespace orv {

namespace {

enum Role : int {
  kDataRole = Qt::UserRole,
  kFlagsRole,
  kTextColourRole,
  kSelectedTextColourRole,
};

const QColor kUnavailableText(128, 128, 128);

// Draws entries as the list's owner: the entry's rectangle grown by one
// pixel, list or selection fill, its text from x = 4, cut with an ellipsis.
class EntryDelegate : public QStyledItemDelegate {
 public:
  explicit EntryDelegate(CDropList* list) : QStyledItemDelegate(list), list_(list) {}

  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QRect r = option.rect.adjusted(-1, -1, 1, 1);
    const int flags = index.data(kFlagsRole).toInt();
    const bool unavailable = flags & CDropList::kUnavailable;
    const bool selected = option.state & QStyle::State_Selected;
    QColor fill = list_->ListColor();
    QColor text = index.data(kTextColourRole).value<QColor>();
    if (selected) {
      fill = list_->SelectionColor();
      text = index.data(kSelectedTextColourRole).value<QColor>();
    }
    if (unavailable) {
      fill = list_->ListColor();
      text = kUnavailableText;
    }
    p->save();
    p->setPen(list_->ListColor());
    p->setBrush(fill);
    p->drawRect(r.adjusted(0, 0, -1, -1));
    p->setFont(list_->font());
    p->setPen(text);
    const QRect textRect(r.left() + 4, r.top(), r.width() - 4 - 5, r.height());
    const QString elided =
        QFontMetrics(list_->font())
            .elidedText(index.data().toString(), Qt::ElideRight, textRect.width());
    p->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
    p->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return QSize(list_->viewport()->width(), list_->ItemHeight());
  }

 private:
  CDropList* list_;
};

}  // namespace

// ---- CDropList ----

CDropList::CDropList(CListWnd* popup) : QListWidget(popup), popup_(popup) {
  SetControlId(this, kControlId);
  setFrameShape(QFrame::NoFrame);
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setItemDelegate(new EntryDelegate(this));
  setMouseTracking(true);
  viewport()->installEventFilter(popup);
  SetListColor(listColour_);
  connect(this, &QListWidget::currentRowChanged, this, &CDropList::OnSelectionChanged);
}

int CDropList::AddString(const QString& text) {
  const int before = count();
  auto* item = new QListWidgetItem(text);
  item->setData(kDataRole, 0u);
  item->setData(kFlagsRole, kAvailable);
  item->setData(kTextColourRole, skin::kListEntry);
  item->setData(kSelectedTextColourRole, QColor(0, 0, 0));
  addItem(item);
  if (before == 1) SelectQuietly(committed_);
  return count() - 1;
}

int CDropList::DeleteString(int index) {
  if (index < 0 || index >= count()) return -1;
  quiet_ = true;
  delete takeItem(index);
  quiet_ = false;
  return count();
}

void CDropList::ResetContent() {
  quiet_ = true;
  clear();
  quiet_ = false;
  committed_ = 0;
}

QString CDropList::GetText(int index) const {
  const QListWidgetItem* it = item(index);
  return it ? it->text() : QString();
}

void CDropList::SetItemData(int index, uint32_t itemData) {
  if (QListWidgetItem* it = item(index)) it->setData(kDataRole, itemData);
}

uint32_t CDropList::GetItemData(int index) const {
  const QListWidgetItem* it = item(index);
  return it ? it->data(kDataRole).toUInt() : 0u;
}

void CDropList::SetItemFlags(int index, int flags) {
  if (QListWidgetItem* it = item(index)) {
    it->setData(kFlagsRole, flags == kUnavailable ? kUnavailable : kAvailable);
  }
}

int CDropList::GetItemFlags(int index) const {
  const QListWidgetItem* it = item(index);
  return it ? it->data(kFlagsRole).toInt() : 0;
}

bool CDropList::IsAvailable(int index) const {
  return !(GetItemFlags(index) & kUnavailable);
}

void CDropList::SetItemColors(int index, QColor text, QColor selectedText) {
  if (QListWidgetItem* it = item(index)) {
    it->setData(kTextColourRole, text);
    it->setData(kSelectedTextColourRole, selectedText);
  }
}

void CDropList::SetListColor(QColor colour) {
  listColour_ = colour;
  QPalette pal = palette();
  pal.setColor(QPalette::Base, colour);
  pal.setColor(QPalette::Window, colour);
  setPalette(pal);
  viewport()->update();
  repaint();
}

void CDropList::SetListFont(const QFont& font) {
  if (fontSet_) return;
  fontSet_ = true;
  setFont(font);
  itemHeight_ = QFontMetrics(font).height();
  doItemsLayout();
}

void CDropList::SelectQuietly(int index) {
  quiet_ = true;
  if (index >= 0 && index < count()) {
    setCurrentRow(index);
  } else {
    setCurrentRow(-1);
  }
  quiet_ = false;
}

void CDropList::OnSelectionChanged(int row) {
  if (quiet_ || row < 0) return;
  // An unavailable entry cannot be chosen: the list stays open.
  if (!IsAvailable(row)) return;
  const bool byMouse = popup_->CursorInside();
  popup_->hide();
  if (byMouse) {
    SendMsg(popup_->Owner(), UM_LIST_SELECT, row, 0);
  } else {
    SelectQuietly(committed_);
  }
}

void CDropList::mousePressEvent(QMouseEvent* event) {
  popup_->NoteCursor(event->globalPosition());
  const int before = currentRow();
  QListWidget::mousePressEvent(event);
  // A click on the entry already selected is a choice too (it closes the list).
  const QModelIndex hit = indexAt(event->position().toPoint());
  if (hit.isValid() && hit.row() == before && popup_->isVisible()) OnSelectionChanged(before);
}

void CDropList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    popup_->hide();
    event->accept();
    return;
  }
  QListWidget::keyPressEvent(event);
}

void CDropList::focusOutEvent(QFocusEvent* event) {
  QListWidget::focusOutEvent(event);
  if (event->reason() != Qt::PopupFocusReason) popup_->hide();
}

// ---- CListWnd ----

CListWnd::CListWnd(CDropButton* owner)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint), owner_(owner) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  setMouseTracking(true);
  resize(200, 200);
  list_ = new CDropList(this);
  setFocusProxy(list_);
}

bool CListWnd::CursorInside() const {
  return cursor_ && frameGeometry().contains(cursor_->toPoint());
}
void CListWnd::NoteCursor(const QPointF& globalPos) {
  cursor_ = globalPos;
}
void CListWnd::ForgetCursor() {
  cursor_.reset();
}

void CListWnd::paintEvent(QPaintEvent*) {
  // The thin border around the list.
  QPainter p(this);
  p.setPen(QColor(30, 30, 30));
  p.setBrush(list_->ListColor());
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CListWnd::resizeEvent(QResizeEvent* event) {
  list_->setGeometry(rect().adjusted(1, 1, -1, -1));
  QWidget::resizeEvent(event);
}

bool CListWnd::eventFilter(QObject* watched, QEvent* event) {
  if (list_ && watched == list_->viewport()) {
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress) {
      NoteCursor(static_cast<QMouseEvent*>(event)->globalPosition());
    } else if (event->type() == QEvent::Leave) {
      ForgetCursor();
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CListWnd::mousePressEvent(QMouseEvent* event) {
  // A press outside the pop-up closes it; a press on the owner button must
  // not then reopen it, so the press is not handed on to the button.
  const QPoint global = event->globalPosition().toPoint();
  if (!rect().contains(event->position().toPoint())) {
    const QRect button(owner_->mapToGlobal(QPoint(0, 0)), owner_->size());
    setAttribute(Qt::WA_NoMouseReplay, button.contains(global));
    hide();
    return;
  }
  QWidget::mousePressEvent(event);
}

void CListWnd::mouseMoveEvent(QMouseEvent* event) {
  NoteCursor(event->globalPosition());
  const QPoint global = event->globalPosition().toPoint();
  const QRect button(owner_->mapToGlobal(QPoint(0, 0)), owner_->size());
  // Leaving both the button and the pop-up closes the list.
  if (!frameGeometry().contains(global) && !button.contains(global)) hide();
  QWidget::mouseMoveEvent(event);
}

void CListWnd::hideEvent(QHideEvent* event) {
  ForgetCursor();
  owner_->update();
  QWidget::hideEvent(event);
}

// ---- CDropButton ----

CDropButton::CDropButton(QWidget* parent) : QAbstractButton(parent), font_(skin::ArialFont(15)) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

CDropButton::~CDropButton() = default;

bool CDropButton::Create(const QString& text, QWidget* parent, int listId,
                         std::optional<QColor> normalFill, std::optional<QColor> hoverFill,
                         std::optional<QColor> textColour, const QFont* font, QColor listColour,
                         const QRect& rect) {
  if (parent && parent != parentWidget()) setParent(parent);
  setText(text);
  SetControlId(this, listId);
  listId_ = listId;
  notify_ = parent;
  if (normalFill) {
    normalFill_ = *normalFill;
    hoverFill_ = hoverFill.value_or(*normalFill);
  }
  textColour_ = textColour.value_or(QColor(0, 0, 0));
  font_ = font ? *font : skin::ArialFont(15, 400);
  setFont(font_);
  setGeometry(rect);
  if (!popup_) {
    popup_ = new CListWnd(this);
    list_ = popup_->List();
  }
  list_->SetListFont(font_);
  list_->SetListColor(listColour);
  created_ = true;
  show();
  return true;
}

bool CDropButton::PopupShown() const {
  return popup_ && popup_->isVisible();
}

void CDropButton::SetCurSel(int index) {
  if (!list_) return;
  if (list_->GetCount() > 0 && showChoice_ && index >= 0 && index < list_->GetCount()) {
    setText(list_->GetText(index));
    update();
  }
  list_->SelectQuietly(index);
}

int CDropButton::GetCurSel() const {
  return list_ ? list_->GetCurSel() : -1;
}

int CDropButton::FindByData(uint32_t itemData) const {
  if (!created_ || !list_) return -1;
  for (int i = 0; i < list_->GetCount(); ++i) {
    if (list_->GetItemData(i) == itemData) return i;
  }
  return -1;
}

int CDropButton::SelectByData(uint32_t itemData) {
  if (!created_ || !list_) return 0;
  const int index = FindByData(itemData);
  SetCurSel(index < 0 ? 0 : index);
  return 1;
}

void CDropButton::SetListColor(QColor colour) {
  if (list_) list_->SetListColor(colour);
  if (popup_) popup_->update();
}

void CDropButton::ResetContent() {
  if (list_) list_->ResetContent();
}

int CDropButton::DropHeight(int entries, int itemHeight) {
  if (entries > 0 && entries * itemHeight < kMaxDropHeight) return entries * itemHeight;
  return kMaxDropHeight;
}

void CDropButton::OpenList() {
  if (!popup_ || popup_->isVisible()) return;
  hovering_ = false;
  const QPoint topLeft = mapToGlobal(QPoint(0, 0));
  const int h = DropHeight(list_->GetCount(), list_->ItemHeight());
  // The pop-up overlaps the button's bottom edge by one pixel; its list area
  // is exactly h pixels tall inside a one-pixel border.
  const int top = topLeft.y() + height() - 1;
  dropRect_ = QRect(topLeft.x(), top, width(), h + 2);
  popup_->setGeometry(dropRect_);
  popup_->ForgetCursor();
  popup_->setAttribute(Qt::WA_NoMouseReplay, false);
  popup_->show();
  list_->setFocus(Qt::PopupFocusReason);
  if (list_->GetCurSel() >= 0) list_->scrollToItem(list_->item(list_->GetCurSel()));
  update();
}

void CDropButton::CloseList() {
  if (popup_) popup_->hide();
}

QPolygon CDropButton::ArrowPoints(const QRect& r, int w) {
  const int x0 = r.left() + r.width() - w - 5;
  const int y0 = r.top() + (r.height() - w / 2) / 2;
  return QPolygon({QPoint(x0, y0), QPoint(x0 + w - 1, y0), QPoint(x0 + w / 2, y0 + w / 2)});
}

void CDropButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor fill = DisabledItself(*this) ? disabledFill_ : hovering_ ? hoverFill_ : normalFill_;
  p.setPen(border_);
  p.setBrush(fill);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  p.setFont(font_);
  const QFontMetrics fm(font_);
  const int w = fm.horizontalAdvance(QLatin1Char('M'));
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(textColour_);
  p.setBrush(textColour_);
  p.drawPolygon(ArrowPoints(rect(), w));
  const QRect textRect(5, 0, width() - w - 10 - 5, height());
  p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
             fm.elidedText(text(), Qt::ElideRight, textRect.width()));
}

void CDropButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !isEnabled()) return;
  if (!PopupShown()) {
    OpenList();
  } else if (!dropRect_.contains(event->globalPosition().toPoint())) {
    CloseList();
  }
  event->accept();
}

void CDropButton::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
}

void CDropButton::enterEvent(QEnterEvent* event) {
  if (!PopupShown() && !hovering_) {
    hovering_ = true;
    update();
  }
  QAbstractButton::enterEvent(event);
}

void CDropButton::leaveEvent(QEvent* event) {
  if (!PopupShown() && !pinnedHover_) {
    hovering_ = false;
    update();
  }
  QAbstractButton::leaveEvent(event);
}

void CDropButton::focusInEvent(QFocusEvent* event) {
  if (PopupShown()) list_->setFocus(Qt::OtherFocusReason);
  QAbstractButton::focusInEvent(event);
}

void CDropButton::SetHoverForDisplay(bool on) {
  pinnedHover_ = on;
  hovering_ = on;
  update();
}

intptr_t CDropButton::OnMessage(const Message& message) {
  if (message.id != UM_LIST_SELECT) return 0;
  const int index = static_cast<int>(message.wParam);
  if (showChoice_) {
    setText(list_->GetText(index));
    update();
  }
  PostMsg(notify_ ? notify_ : parentWidget(), UM_LIST_SELECT, listId_, index);
  list_->SetCommittedIndex(index);
  return 1;
}

}  // namespace orv
