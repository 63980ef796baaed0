#include "Mouse.h"

#include <iterator>

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace orv {

namespace {
QPointer<QWidget> captured;

struct CursorRow {
  CursorKind kind;
  Qt::CursorShape shape;
};
constexpr CursorRow kCursors[] = {
    {CursorKind::Arrow, Qt::ArrowCursor},        {CursorKind::Hand, Qt::PointingHandCursor},
    {CursorKind::IBeam, Qt::IBeamCursor},        {CursorKind::Cross, Qt::CrossCursor},
    {CursorKind::Wait, Qt::WaitCursor},          {CursorKind::SizeAll, Qt::SizeAllCursor},
    {CursorKind::SizeWE, Qt::SizeHorCursor},     {CursorKind::SizeNS, Qt::SizeVerCursor},
    {CursorKind::SizeNWSE, Qt::SizeFDiagCursor}, {CursorKind::SizeNESW, Qt::SizeBDiagCursor},
};
}  // namespace

bool SetCapture(QWidget* widget) {
  ReleaseCapture();
  if (!widget || !widget->isVisible()) return false;
  widget->grabMouse();
  captured = widget;
  return true;
}

void ReleaseCapture() {
  if (captured) captured->releaseMouse();
  captured = nullptr;
}

QWidget* GetCapture() {
  return captured.data();
}

QCursor CursorFor(CursorKind kind) {
  for (const CursorRow& row : kCursors) {
    if (row.kind == kind) return QCursor(row.shape);
  }
  return QCursor(Qt::ArrowCursor);
}

void SetCursorKind(QWidget* widget, CursorKind kind) {
  if (widget) widget->setCursor(CursorFor(kind));
}

WaitCursor::WaitCursor() {
  QApplication::setOverrideCursor(CursorFor(CursorKind::Wait));
}
WaitCursor::~WaitCursor() {
  QApplication::restoreOverrideCursor();
}

}  // namespace orv
