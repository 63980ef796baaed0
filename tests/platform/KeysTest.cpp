#include <gtest/gtest.h>

#include <vector>

#include <QKeyEvent>
#include <QWidget>

#include "Keys.h"

using namespace orv;

namespace {
class MainWindow : public QWidget, public KeyPreTranslator {
 public:
  bool PreTranslateKey(QKeyEvent* e) override {
    seen.push_back(e->key());
    return e->key() == Qt::Key_S;
  }
  std::vector<int> seen;
};
}  // namespace

TEST(Keys, PagePreTranslationConsumesEnterEscapeAndOffersKeyUps) {
  MainWindow main;
  QWidget column(&main);  // a plain container between page and main window
  QWidget page(&column);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QKeyEvent padEnter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QKeyEvent letterDown(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QKeyEvent sUp(QEvent::KeyRelease, Qt::Key_S, Qt::ControlModifier);
  QKeyEvent aUp(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier);
  QKeyEvent enterUp(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);

  EXPECT_TRUE(PageKeyPreTranslate(&page, &enter));
  EXPECT_TRUE(PageKeyPreTranslate(&page, &padEnter));
  EXPECT_TRUE(PageKeyPreTranslate(&page, &escape));
  EXPECT_FALSE(PageKeyPreTranslate(&page, &letterDown));
  EXPECT_TRUE(main.seen.empty()) << "key-downs are not offered to the parent";

  EXPECT_TRUE(PageKeyPreTranslate(&page, &sUp));
  EXPECT_FALSE(PageKeyPreTranslate(&page, &aUp));
  EXPECT_FALSE(PageKeyPreTranslate(&page, &enterUp)) << "only key-downs of Enter are consumed";
  EXPECT_EQ(main.seen, (std::vector<int>{Qt::Key_S, Qt::Key_A, Qt::Key_Return}));

  QWidget orphan;
  EXPECT_FALSE(OfferKeyToParent(&orphan, &sUp));
  EXPECT_TRUE(IsKeyUp(&sUp));
  EXPECT_FALSE(IsKeyDown(&sUp));
  EXPECT_FALSE(IsEnterOrEscapeDown(&enterUp));
}
