#include <gtest/gtest.h>

#include "MessageBox.h"

using namespace orv;

TEST(MessageBox, ScopedAnswerRecordsAndAnswersWithoutBlocking) {
  ScopedMessageBoxAnswer answer(kIdCancel);
  EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("Save The Preset?"), QStringLiteral("Tips"),
                           MsgButtons::OkCancel),
            kIdCancel);
  answer.SetAnswer(kIdOk);
  EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("Preset is Invalid"), QStringLiteral("Tips")),
            kIdOk);
  ASSERT_EQ(answer.Requests().size(), 2u);
  EXPECT_EQ(answer.Requests()[0].text, QStringLiteral("Save The Preset?"));
  EXPECT_EQ(answer.Requests()[0].caption, QStringLiteral("Tips"));
  EXPECT_EQ(answer.Requests()[0].buttons, MsgButtons::OkCancel);
  EXPECT_EQ(answer.Requests()[1].buttons, MsgButtons::Ok);
}

TEST(MessageBox, OkOnlyBoxAlwaysAnswersOkAndHandlersNest) {
  ScopedMessageBoxAnswer outer(kIdOk);
  {
    ScopedMessageBoxAnswer inner(kIdCancel);
    EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("a"), QStringLiteral("b")), kIdOk);
    EXPECT_EQ(inner.Requests().size(), 1u);
  }
  ShowMessageBox(nullptr, QStringLiteral("c"), QStringLiteral("d"), MsgButtons::OkCancel);
  EXPECT_EQ(outer.Requests().size(), 1u) << "the outer handler is back after the inner one";
}
