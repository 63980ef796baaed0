#pragma once
// The pixel grab's result on the test pattern page: a swatch of the grabbed
// colour and its numbers "R:%d   G:%d    B:%d" in orange. Empty until the
// first result.
#include <cstdint>
#include <optional>

#include <QColor>
#include <QString>
#include <QWidget>

namespace orv {

class GrabSwatch : public QWidget {
  Q_OBJECT
 public:
  GrabSwatch(QWidget* parent, int controlId);
  // The swatch takes the low bytes of the three values; the text shows them whole.
  void ShowGrab(uint16_t red, uint16_t green, uint16_t blue);
  std::optional<QColor> Colour() const { return colour_; }
  QString Text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<QColor> colour_;  // none until the first grab result
  QString text_;
};

}  // namespace orv
