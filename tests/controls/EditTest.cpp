#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>

#include "CMyEdit.h"
#include "CommaLocale.h"
#include "DeviceState.h"
#include "MessageIds.h"
#include "NumericFormat.h"
#include "ProjectFile.h"
#include "TestSupport.h"
#include "oRealEdit.h"

using namespace orv;
using namespace orv::test;

namespace {

struct EditOnPage : ::testing::Test {
  void SetUp() override {
    edit = new oRealEdit(&page, 1201);
    edit->setGeometry(10, 10, 80, 24);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    edit->setFocus();
  }
  void Type(const QString& keys) { QTest::keyClicks(edit, keys); }
  RecordingPage page;
  oRealEdit* edit = nullptr;
};

}  // namespace

TEST_F(EditOnPage, ByteRangeClampsOnEnterAndReportsOnce) {
  edit->Setup(0, 0, true, 255, QStringLiteral("%d"));
  EXPECT_EQ(edit->maxLength(), 3);
  EXPECT_EQ(edit->Limits().allowed, kAllowDigits);
  EXPECT_EQ(edit->text(), QStringLiteral("0"));
  edit->selectAll();
  Type(QStringLiteral("3a-.00"));
  EXPECT_EQ(edit->text(), QStringLiteral("300")) << "letters, minus and point are swallowed";
  EXPECT_TRUE(page.Take().empty()) << "typing reports nothing";
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(edit->text(), QStringLiteral("255"));
  EXPECT_FLOAT_EQ(edit->Value(), 255);
  auto got = page.Take();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].id, UM_VALUE_COMMITTED);
  EXPECT_EQ(got[0].wParam, 1201);
  EXPECT_EQ(got[0].lParam, 0);
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_TRUE(page.Take().empty()) << "Enter again without typing reports nothing";
}

TEST_F(EditOnPage, ProgramSetTextIsNeverReported) {
  edit->Setup(12, 0, true, 255, QStringLiteral("%d"));
  edit->SetValue(300);
  EXPECT_EQ(edit->text(), QStringLiteral("255")) << "clamped, shown corrected";
  QTest::keyClick(edit, Qt::Key_Return);
  QTest::keyClick(edit, Qt::Key_Escape);
  edit->clearFocus();
  EXPECT_TRUE(page.Take().empty());
  EXPECT_EQ(edit->cursorPosition(), 3) << "Enter only moves the caret to the end";
}

TEST_F(EditOnPage, NegativeRangeAllowsMinusOnlyAtTheStart) {
  edit->Setup(0, 50, true, -50, QStringLiteral("%d"));
  EXPECT_FLOAT_EQ(edit->Minimum(), -50);
  EXPECT_FLOAT_EQ(edit->Maximum(), 50);
  EXPECT_EQ(edit->maxLength(), 3);
  edit->selectAll();
  Type(QStringLiteral("4-"));
  EXPECT_EQ(edit->text(), QStringLiteral("4"));
  edit->home(false);
  Type(QStringLiteral("-"));
  EXPECT_EQ(edit->text(), QStringLiteral("-4"));
  edit->home(false);
  Type(QStringLiteral("-7"));
  EXPECT_EQ(edit->text(), QStringLiteral("-4")) << "no second minus, nothing before the minus";
  edit->end(false);
  Type(QStringLiteral("95"));
  EXPECT_EQ(edit->text(), QStringLiteral("-49")) << "three characters at most";
  QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_FLOAT_EQ(edit->Value(), -49);
  edit->selectAll();
  Type(QStringLiteral("-80"));
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(edit->text(), QStringLiteral("-50"));
  EXPECT_EQ(page.Take().size(), 2u);
}

TEST_F(EditOnPage, DecimalFormatAllowsOnePointAndTwoDecimals) {
  edit->Setup(1.5f, 0, true, 10, QStringLiteral("%.2f"));
  EXPECT_EQ(edit->text(), QStringLiteral("1.50"));
  EXPECT_EQ(edit->maxLength(), 5);
  edit->selectAll();
  Type(QStringLiteral(".7.25"));
  EXPECT_EQ(edit->text(), QStringLiteral("7.25")) << "no point in front, no second point";
  edit->clearFocus();  // focus loss after typing commits and reports
  EXPECT_FLOAT_EQ(edit->Value(), 7.25f);
  EXPECT_EQ(page.Take().size(), 1u);
}

// Under a comma-decimal locale the operator still types and sees a point,
// and a typed value goes through the project file and back unchanged.
TEST_F(EditOnPage, ACommaLocaleChangesNeitherTypedValuesNorTheProjectFile) {
  char pattern[] = "/tmp/edit-locale-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = std::string(pattern) + "/";
  ScopedCommaLocale comma(folder);
  if (!comma.Active()) {
    std::filesystem::remove_all(folder);
    GTEST_SKIP() << "the comma locale could not be built";
  }
  edit->Setup(1.5f, 0, true, 10, QStringLiteral("%0.2f"));
  EXPECT_EQ(edit->text(), QStringLiteral("1.50"));
  edit->selectAll();
  Type(QStringLiteral("7.25"));
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(edit->Value(), 7.25f);
  EXPECT_EQ(edit->text(), QStringLiteral("7.25"));

  State()->block.PICCOMMSETT.GAMMA = edit->Value();
  const std::string project = folder + "show.pro";
  ASSERT_TRUE(SaveProject(project));
  State()->block.PICCOMMSETT.GAMMA = 0;
  ASSERT_TRUE(LoadProject(project, [](int, int) {}));
  edit->SetValue(State()->block.PICCOMMSETT.GAMMA);
  EXPECT_EQ(edit->text(), QStringLiteral("7.25"));
  std::filesystem::remove_all(folder);
}

TEST_F(EditOnPage, GarbageCommitsAsZeroThenClamped) {
  edit->Setup(20, 10, true, 99, QStringLiteral("%d"));
  edit->setText(QStringLiteral("xy"));
  edit->Commit(true);
  EXPECT_EQ(edit->text(), QStringLiteral("10"));
  EXPECT_EQ(page.Take().size(), 1u);
}

TEST_F(EditOnPage, OneWheelNotchStepsAndReports) {
  edit->Setup(20, 0, true, 99, QStringLiteral("%d"));
  QWheelEvent up(QPointF(5, 5), edit->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                 Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(edit, &up);
  EXPECT_EQ(edit->text(), QStringLiteral("21"));
  QWheelEvent twoDown(QPointF(5, 5), edit->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(edit, &twoDown);
  EXPECT_EQ(edit->text(), QStringLiteral("21")) << "only exactly one notch counts";
  QWheelEvent ctrl(QPointF(5, 5), edit->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                   Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(edit, &ctrl);
  EXPECT_EQ(edit->text(), QStringLiteral("21"));
  auto got = page.Take();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].wParam, 1201);
}

TEST_F(EditOnPage, FrameColourFollowsTheEnabledState) {
  edit->Setup(1, 0, false, 9, QStringLiteral("%d"));
  EXPECT_FALSE(edit->isEnabled());
  EXPECT_EQ(edit->FrameWidth(), 2);
  EXPECT_EQ(Grab(*edit).pixelColor(0, 0), QColor(16, 16, 16));
  edit->setEnabled(true);
  EXPECT_EQ(Grab(*edit).pixelColor(1, 1), QColor(239, 156, 0));
}

TEST(NumericFormat, LimitsFromFormatAndRange) {
  EXPECT_EQ(LimitsFor(QStringLiteral("%d"), 0, 255).lengthLimit, 3);
  EXPECT_EQ(LimitsFor(QStringLiteral("%d"), 0, 9).lengthLimit, 1);
  EXPECT_EQ(LimitsFor(QStringLiteral("%d"), 0, 99999).lengthLimit, 5);
  EXPECT_EQ(LimitsFor(QStringLiteral("%d"), -50, 50).lengthLimit, 3);
  EXPECT_EQ(LimitsFor(QStringLiteral("%.2f"), 0, 10).lengthLimit, 5);
  EXPECT_EQ(LimitsFor(QStringLiteral("%.1f"), -5, 5).allowed,
            kAllowDigits | kAllowMinus | kAllowPoint);
}

TEST(NumericFormat, PositionRulesOfTypedCharacters) {
  const NumericLimits all{kAllowDigits | kAllowMinus | kAllowPoint, 6};
  // Zero.
  EXPECT_TRUE(AcceptsChar(QLatin1Char('0'), QString(), 0, 0, all));
  EXPECT_TRUE(AcceptsChar(QLatin1Char('0'), QStringLiteral("5"), 1, 1, all));
  EXPECT_FALSE(AcceptsChar(QLatin1Char('0'), QStringLiteral("0"), 1, 1, all)) << "no 00";
  EXPECT_FALSE(AcceptsChar(QLatin1Char('0'), QStringLiteral("05"), 0, 0, all));
  EXPECT_TRUE(AcceptsChar(QLatin1Char('0'), QStringLiteral("05"), 0, 1, all)) << "replacing";
  EXPECT_TRUE(AcceptsChar(QLatin1Char('0'), QStringLiteral("0.5"), 2, 2, all));
  EXPECT_FALSE(AcceptsChar(QLatin1Char('0'), QStringLiteral("-0"), 2, 2, all));
  EXPECT_TRUE(AcceptsChar(QLatin1Char('0'), QStringLiteral("-0"), 1, 2, all));
  EXPECT_TRUE(AcceptsChar(QLatin1Char('0'), QStringLiteral("-0.5"), 3, 3, all));
  EXPECT_TRUE(AcceptsChar(QLatin1Char('0'), QStringLiteral("-5"), 2, 2, all));
  EXPECT_FALSE(AcceptsChar(QLatin1Char('0'), QStringLiteral("-5"), 0, 0, all));
  // Other digits: nothing in front of the minus.
  EXPECT_FALSE(AcceptsChar(QLatin1Char('7'), QStringLiteral("-5"), 0, 0, all));
  EXPECT_TRUE(AcceptsChar(QLatin1Char('7'), QStringLiteral("-5"), 0, 1, all));
  // Decimal point.
  EXPECT_FALSE(AcceptsChar(QLatin1Char('.'), QStringLiteral("5"), 0, 0, all));
  EXPECT_TRUE(AcceptsChar(QLatin1Char('.'), QStringLiteral("5"), 1, 1, all));
  EXPECT_FALSE(AcceptsChar(QLatin1Char('.'), QStringLiteral("-5"), 1, 1, all));
  EXPECT_TRUE(AcceptsChar(QLatin1Char('.'), QStringLiteral("-5"), 2, 2, all));
  EXPECT_FALSE(AcceptsChar(QLatin1Char('.'), QStringLiteral("12345"), 5, 5, all))
      << "beyond limit - 2";
  EXPECT_FALSE(AcceptsChar(QLatin1Char('.'), QStringLiteral("1.5"), 3, 3, all));
  EXPECT_TRUE(AcceptsChar(QLatin1Char('.'), QStringLiteral("1.5"), 1, 2, all))
      << "replacing the point";
  // Not allowed by the format or range.
  const NumericLimits digits{kAllowDigits, 3};
  EXPECT_FALSE(AcceptsChar(QLatin1Char('-'), QString(), 0, 0, digits));
  EXPECT_FALSE(AcceptsChar(QLatin1Char('.'), QStringLiteral("1"), 1, 1, digits));
  EXPECT_FALSE(AcceptsChar(QLatin1Char('x'), QString(), 0, 0, all));
}

TEST(NumericFormat, FormattingAndParsing) {
  EXPECT_EQ(FormatValue(QStringLiteral("%d"), 12.9f), QStringLiteral("12"));
  EXPECT_EQ(FormatValue(QStringLiteral("%d"), -3.5f), QStringLiteral("-3"));
  EXPECT_EQ(FormatValue(QStringLiteral("%.2f"), 0.5f), QStringLiteral("0.50"));
  EXPECT_EQ(FormatValue(QStringLiteral("%.1f"), -2.25f), QStringLiteral("-2.2"));
  EXPECT_EQ(FormatValue(QStringLiteral("%03d"), 7), QStringLiteral("007"));
  EXPECT_EQ(FormatValue(QStringLiteral("%d%%"), 40), QStringLiteral("40%"));
  EXPECT_EQ(FormatValue(QStringLiteral("%d %d"), 4), QStringLiteral("4 ")) << "one value only";
  EXPECT_FLOAT_EQ(ParseValue(QStringLiteral("12abc")), 12);
  EXPECT_FLOAT_EQ(ParseValue(QStringLiteral("-0.25")), -0.25f);
  EXPECT_FLOAT_EQ(ParseValue(QStringLiteral("abc")), 0);
  EXPECT_FLOAT_EQ(ParseValue(QString()), 0);
}

TEST(MyEdit, EnterEscapeAndFocusLossPostTheKeyAndId) {
  RecordingPage page;
  auto* edit = new CMyEdit(&page, 1493);
  edit->setGeometry(0, 0, 120, 24);
  auto* other = new QLineEdit(&page);
  other->move(0, 50);
  page.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
  edit->setFocus();
  edit->setText(QStringLiteral("1-1"));
  edit->home(false);
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(edit->cursorPosition(), 3);
  QTest::keyClick(edit, Qt::Key_Escape);
  other->setFocus();
  auto got = page.Take();
  ASSERT_EQ(got.size(), 3u);
  for (const auto& m : got) {
    EXPECT_EQ(m.id, UM_EDIT_KEY);
    EXPECT_EQ(m.lParam, 1493);
  }
  EXPECT_EQ(got[0].wParam, 13);
  EXPECT_EQ(got[1].wParam, 27);
  EXPECT_EQ(got[2].wParam, 13) << "focus loss reports like Enter";
  EXPECT_EQ(Grab(*edit).pixelColor(0, 0), QColor(239, 156, 0));
  EXPECT_EQ(Grab(*edit).pixelColor(110, 12), QColor(30, 30, 30));
  edit->setEnabled(false);
  EXPECT_EQ(Grab(*edit).pixelColor(0, 0), QColor(16, 16, 16));
}
