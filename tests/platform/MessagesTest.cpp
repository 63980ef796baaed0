#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QTest>
#include <QWidget>

#include "MessageIds.h"
#include "Messages.h"

using namespace orv;

namespace {

class Recorder : public QWidget, public MessageTarget {
 public:
  explicit Recorder(QWidget* parent = nullptr) : QWidget(parent) {}
  intptr_t OnMessage(const Message& m) override {
    received.push_back(m);
    return m.wParam * 2 + 1;
  }
  std::vector<Message> received;
};

}  // namespace

TEST(Messages, PostIsQueuedAndKeepsOrderAndPayload) {
  Recorder r;
  PostMsg(&r, UM_VALUE_COMMITTED, 1201, 0);
  PostMsg(&r, UM_WAIT, 1, 0, QStringLiteral("Waitting Operation ..."));
  PostMsg(&r, UM_LIST_SELECT, 0xAFC0, 3);
  EXPECT_TRUE(r.received.empty()) << "a post must not deliver at once";
  DeliverPostedMessages();
  ASSERT_EQ(r.received.size(), 3u);
  EXPECT_EQ(r.received[0].id, 0x4A1u);
  EXPECT_EQ(r.received[0].wParam, 1201);
  EXPECT_EQ(r.received[1].id, 0x5B1u);
  EXPECT_EQ(r.received[1].data.toString(), QStringLiteral("Waitting Operation ..."));
  EXPECT_EQ(r.received[2].wParam, 0xAFC0);
  EXPECT_EQ(r.received[2].lParam, 3);
}

TEST(Messages, PayloadIsOwnedByTheMessage) {
  Recorder r;
  {
    QString text = QStringLiteral("a text on the caller's stack");
    PostMsg(&r, UM_WAIT, 1, 0, text);
    text.fill(QLatin1Char('x'));  // the caller reuses its buffer before delivery
  }
  DeliverPostedMessages();
  ASSERT_EQ(r.received.size(), 1u);
  EXPECT_EQ(r.received[0].data.toString(), QStringLiteral("a text on the caller's stack"));
}

TEST(Messages, TargetDestroyedBeforeDeliveryGetsNothing) {
  Recorder survivor;
  auto* doomed = new Recorder;
  PostMsg(doomed, 0x5A1);
  PostMsg(&survivor, 0x5A1);
  delete doomed;
  DeliverPostedMessages();  // must not touch the deleted widget
  EXPECT_EQ(survivor.received.size(), 1u);
}

TEST(Messages, SendDeliversAtOnceAndReturnsTheResult) {
  Recorder r;
  EXPECT_EQ(SendMsg(&r, 0x466, 20), 41);
  ASSERT_EQ(r.received.size(), 1u);
  QWidget plain;
  EXPECT_EQ(SendMsg(&plain, 0x466, 20), 0) << "a widget that takes no messages answers 0";
  EXPECT_EQ(SendMsg(nullptr, 0x466, 20), 0);
  PostMsg(&plain, 0x466);  // ignored without harm
  PostMsg(nullptr, 0x466);
  DeliverPostedMessages();
}

TEST(Messages, PostsFromOtherThreadsArriveInOrderPerThreadAndCallsInterleave) {
  Recorder r;
  std::vector<int> order;
  std::thread a([&] {
    for (int i = 0; i < 200; ++i) PostMsg(&r, 1, i);
  });
  std::thread b([&] {
    for (int i = 0; i < 200; ++i) {
      const int value = i;
      RunOnGuiThread([&order, value] { order.push_back(value); });
    }
  });
  a.join();
  b.join();
  DeliverPostedMessages();
  ASSERT_EQ(r.received.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(r.received[i].wParam, i);
  ASSERT_EQ(order.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(order[i], i);
}

TEST(Messages, CallsAndPostsShareOneQueue) {
  Recorder r;
  std::vector<int> trace;
  PostMsg(&r, 1);
  RunOnGuiThread([&] { trace.push_back(static_cast<int>(r.received.size())); });
  PostMsg(&r, 2);
  RunOnGuiThread([&] { trace.push_back(static_cast<int>(r.received.size())); });
  DeliverPostedMessages();
  EXPECT_EQ(trace, (std::vector<int>{1, 2}));
}

TEST(Messages, SendFromAnotherThreadIsQueuedNotRunThere) {
  Recorder r;
  intptr_t result = -1;
  std::thread t([&] { result = SendMsg(&r, 7, 5); });
  t.join();
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(r.received.empty());
  DeliverPostedMessages();
  ASSERT_EQ(r.received.size(), 1u);
  EXPECT_EQ(r.received[0].id, 7u);
}

TEST(Messages, RunOnGuiThreadRunsOnTheGuiThreadInTheEventLoop) {
  bool ran = false;
  Qt::HANDLE runner = nullptr;
  std::thread t([&] {
    RunOnGuiThread([&] {
      ran = true;
      runner = QThread::currentThreadId();
    });
  });
  t.join();
  EXPECT_FALSE(ran);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ran; }, 10000));  // a normal event loop delivers too
  EXPECT_EQ(runner, QThread::currentThreadId());
}

TEST(Messages, NotifyWindowIsTheNearestAncestorTakingMessages) {
  Recorder page;
  QWidget container(&page);
  QWidget control(&container);
  EXPECT_EQ(NotifyWindow(&control), &page);
  QWidget lonelyParent;
  QWidget lonelyChild(&lonelyParent);
  EXPECT_EQ(NotifyWindow(&lonelyChild), &lonelyParent);
  EXPECT_EQ(NotifyWindow(&lonelyParent), nullptr);
}
