#pragma once
// The main window's link indicator: the processor's name and address and the
// state of its link (connected, link lost and reconnecting, reconnected at
// hh:mm:ss, disconnected by the operator), with a coloured dot. The panel's
// built-in processor (offline mode) says OFFLINE in blue.
#include <QString>
#include <QTime>
#include <QWidget>

#include "LinkWatch.h"

namespace orv {

// What the indicator says for a status; `reconnectedAt` is the wall-clock
// time of the last reconnect (invalid: none since the connect).
QString LinkStateText(const LinkStatus& status, const QTime& reconnectedAt);

class LinkIndicator : public QWidget {
 public:
  static constexpr int kControlId = 1493;

  explicit LinkIndicator(QWidget* parent);

  // Takes the watch's status; keeps the time of a reconnect.
  void Show(const LinkStatus& status);
  const QString& Text() const { return text_; }
  QTime ReconnectedAt() const { return reconnectedAt_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  LinkStatus status_;
  QTime reconnectedAt_;
  int64_t reconnectSeen_ = -1;
  QString text_;
};

}  // namespace orv
