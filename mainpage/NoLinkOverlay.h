#pragma once
// Covers the main page while the link to the processor is lost: a dark veil
// with a large text, so that a stale picture is never taken for live video.
#include <QString>
#include <QWidget>

namespace orv {

class NoLinkOverlay : public QWidget {
  Q_OBJECT
 public:
  explicit NoLinkOverlay(QWidget* parent);
  void SetText(const QString& text);
  const QString& Text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
};

}  // namespace orv
