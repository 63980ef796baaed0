// The main window through its public behaviour: pages, title, preset keys,
// Enter/Escape, project messages, the refresh rows reaching the pages, the
// wait box and its time-out, locks and indicators, and the close order.
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <thread>

#include "AppTestSupport.h"
#include "CDropList.h"
#include "CGdipButton.h"
#include "CodePage.h"
#include "CommandEncoder.h"
#include "ControlId.h"
#include "DeviceState.h"
#include "Dpi.h"
#include "Ini.h"
#include "MEdidDlg.h"
#include "MKeyerDlg.h"
#include "MLogoDlg.h"
#include "MMainDlg.h"
#include "MMiscDlg.h"
#include "MOutputDlg.h"
#include "MTaskDlg.h"
#include "MainPageCells.h"
#include "MessageIds.h"
#include "Messages.h"
#include "PageTable.h"
#include "ProjectFile.h"
#include "Timers.h"
#include "UiTexts.h"
#include "WaitBox.h"

namespace orv::test {
namespace {

using PageSwitching = MainWindowTest;

TEST_F(PageSwitching, SamePageButtonTogglesAndTheMainPageTakesTheWidth) {
  const int wide = Window().MainPage()->width();
  Window().PageButton(1)->click();
  EXPECT_EQ(Window().CurrentPage(), 1);
  EXPECT_TRUE(Window().ColumnPage(1)->isVisible());
  EXPECT_TRUE(Window().PageButton(1)->IsChecked());
  const int narrow = Window().MainPage()->width();
  EXPECT_LT(narrow, wide);

  Window().PageButton(1)->click();
  EXPECT_EQ(Window().CurrentPage(), -1);
  EXPECT_FALSE(Window().ColumnPage(1)->isVisible());
  EXPECT_FALSE(Window().PageButton(1)->IsChecked());
  EXPECT_EQ(Window().MainPage()->width(), wide);
}

TEST_F(PageSwitching, AnotherPageSwapsWithoutMovingTheMainPage) {
  Window().ShowPageByIndex(0, true);
  const QRect mainPage = Window().MainPage()->geometry();
  Window().ShowPageByIndex(10, true);
  EXPECT_FALSE(Window().ColumnPage(0)->isVisible());
  EXPECT_FALSE(Window().PageButton(0)->IsChecked());
  EXPECT_TRUE(Window().ColumnPage(10)->isVisible());
  EXPECT_TRUE(Window().PageButton(10)->IsChecked());
  EXPECT_EQ(Window().MainPage()->geometry(), mainPage);
  // Without toggle, choosing the shown page keeps it.
  Window().ShowPageByIndex(10, false);
  EXPECT_EQ(Window().CurrentPage(), 10);
}

TEST_F(PageSwitching, ClosingAPageByItsButtonFreesTheColumn) {
  Window().ShowPageByIndex(9, true);
  Window().ColumnPage(9)->ClosePage();
  DeliverPostedMessages();
  EXPECT_EQ(Window().CurrentPage(), -1);
  EXPECT_FALSE(Window().PageButton(9)->IsChecked());
  EXPECT_EQ(Window().MainPage()->x(), 75);
}

TEST_F(PageSwitching, WindowKeepsItsMinimumSize) {
  Window().resize(800, 500);
  EXPECT_GE(Window().width(), 1280);
  EXPECT_GE(Window().height(), 728);
}

TEST_F(PageSwitching, WindowSizeFollowsTheScreenDpi) {
  SetDpiOverride(Dpi{120, 120});
  MakeWindow();
  SetDpiOverride(std::nullopt);
  EXPECT_EQ(Window().size(), QSize(1600, 910));
  EXPECT_EQ(Window().ColumnPage(0)->width(), 400);
}

TEST_F(PageSwitching, LoopOutCaptionOpensTheMiscPage) {
  QTest::mousePress(&Window(), Qt::LeftButton, {}, QPoint(130, 8));
  EXPECT_EQ(Window().CurrentPage(), 9);
  QTest::mouseRelease(&Window(), Qt::LeftButton, {}, QPoint(130, 8));
  // A second click keeps it (no toggle).
  QTest::mouseClick(&Window(), Qt::LeftButton, {}, QPoint(130, 8));
  EXPECT_EQ(Window().CurrentPage(), 9);
}

using Title = MainWindowTest;

TEST_F(Title, AlternatesEveryFiveSecondsWithTheProjectPath) {
  const QString path = QString::fromStdString(Window().ProjectPath());
  ASSERT_FALSE(path.isEmpty());
  EXPECT_EQ(Window().windowTitle(), QStringLiteral("Q20 VideoProcessor"));
  AdvanceManualTime(4999);
  EXPECT_EQ(Window().windowTitle(), QStringLiteral("Q20 VideoProcessor"));
  AdvanceManualTime(1);  // first tick: the name
  EXPECT_EQ(Window().windowTitle(), QStringLiteral("Q20 VideoProcessor"));
  AdvanceManualTime(5000);
  EXPECT_EQ(Window().windowTitle(), path);
  AdvanceManualTime(5000);
  EXPECT_EQ(Window().windowTitle(), QStringLiteral("Q20 VideoProcessor"));
}

using PresetKeys = MainWindowTest;

TEST_F(PresetKeys, CtrlDigitOnAnEmptyPresetSaysInvalidAndSendsNothing) {
  Library().ClearRecords();
  QTest::keyRelease(&Window(), Qt::Key_3, Qt::ControlModifier);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, QStringLiteral("Preset is Invalid"));
  EXPECT_TRUE(Library().TypedSends().empty());
  EXPECT_EQ(Window().CurrentPreset(), 3);
  EXPECT_FALSE(Window().Wait().Shown());
}

TEST_F(PresetKeys, CtrlDigitRecallsAPresetThatHoldsData) {
  { State()->PRESET_FLAGS[0] = 1; }
  Library().ClearRecords();
  QTest::keyRelease(&Window(), Qt::Key_0, Qt::ControlModifier);  // '0' is preset 1
  DeliverPostedMessages();
  const auto sends = Library().TypedSends();
  ASSERT_EQ(sends.size(), 2u);
  EXPECT_EQ(sends[0].type, PRESET);
  EXPECT_EQ(sends[0].bytes[0], 1);  // recall
  EXPECT_EQ(sends[0].bytes[1], 0);
  EXPECT_EQ(sends[1].type, GET_ALL);
  EXPECT_TRUE(Window().Wait().Shown());
  EXPECT_EQ(Window().Wait().Text(), QStringLiteral("Waitting Operation ..."));
  EXPECT_FALSE(Window().ContentEnabled());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(PresetKeys, SHeldWithADigitSavesAfterOk) {
  Library().ClearRecords();
  QTest::keyPress(&Window(), Qt::Key_S);
  QTest::keyRelease(&Window(), Qt::Key_4);
  QTest::keyRelease(&Window(), Qt::Key_S);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, QStringLiteral("Save The Preset?"));
  EXPECT_EQ(Boxes()[0].caption, QStringLiteral("Tips"));
  const auto sends = Library().TypedSendsOf(PRESET);
  ASSERT_EQ(sends.size(), 1u);
  EXPECT_EQ(sends[0].bytes[0], 2);  // save
  EXPECT_EQ(sends[0].bytes[1], 4);
  EXPECT_EQ(State()->PRESET_FLAGS[4], 1);
  EXPECT_EQ(Window().CurrentPreset(), 4);
}

TEST_F(PresetKeys, SaveIsNotSentWhenTheOperatorCancels) {
  Answers().SetAnswer(kIdCancel);
  Library().ClearRecords();
  QTest::keyPress(&Window(), Qt::Key_S);
  QTest::keyRelease(&Window(), Qt::Key_7);
  QTest::keyRelease(&Window(), Qt::Key_S);
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_TRUE(Library().TypedSends().empty());
  EXPECT_EQ(State()->PRESET_FLAGS[7], 0);
  // A digit without S or Ctrl does nothing.
  QTest::keyRelease(&Window(), Qt::Key_7);
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(PresetKeys, EnterAndEscapeNeverCloseTheWindow) {
  QTest::keyClick(&Window(), Qt::Key_Escape);
  QTest::keyClick(&Window(), Qt::Key_Return);
  QTest::keyClick(&Window(), Qt::Key_Enter);
  Window().ShowPageByIndex(1, true);
  QTest::keyClick(Window().ColumnPage(1), Qt::Key_Escape);
  DeliverPostedMessages();
  EXPECT_TRUE(Window().isVisible());
  EXPECT_FALSE(Window().ClosedDown());
  EXPECT_TRUE(Window().ColumnPage(1)->isVisible());
}

TEST_F(PresetKeys, CtrlSSavesTheProjectAndEndsTheWait) {
  { State()->block.OUTPUTRESO.RESOINDEX = 7; }
  QTest::keyPress(&Window(), Qt::Key_S, Qt::ControlModifier);
  QTest::keyRelease(&Window(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(Window().Wait().Shown());
  EXPECT_NE(ReadFile(Window().ProjectPath()).find("RESOINDEX"), std::string::npos);
}

using ProjectMessages = MainWindowTest;

TEST_F(ProjectMessages, SaveWritesTheFileOpenLoadsItAndRemembersThePath) {
  const std::string path = Folder() + "gala.pro";
  { State()->block.OUTPUTRESO.RESOINDEX = 5; }
  SendMsg(&Window(), UM_WAIT, 1, 0, QStringLiteral("Waitting Operation ..."));
  SendMsg(&Window(), UM_PROJECT_FILE, kProjectSave, 0, QString::fromStdString(path));
  EXPECT_FALSE(Window().Wait().Shown());
  ASSERT_FALSE(ReadFile(path).empty());
  EXPECT_NE(Window().ProjectPath(), path);  // saving elsewhere keeps the project path

  { State()->block.OUTPUTRESO.RESOINDEX = 0; }
  SendMsg(&Window(), UM_PROJECT_FILE, kProjectOpen, 0, QString::fromStdString(path));
  DeliverPostedMessages();
  EXPECT_EQ(State()->block.OUTPUTRESO.RESOINDEX, 5);
  EXPECT_EQ(Window().ProjectPath(), path);
  EXPECT_EQ(ReadSetting("Project", "FilePath", Settings()), path);
  EXPECT_FALSE(Window().Wait().Shown());
}

TEST_F(ProjectMessages, TheLastProjectIsLoadedAtStart) {
  DestroyWindow();  // its close would write its own project path
  const std::string path = Folder() + "last.pro";
  { State()->block.OUTPUTRESO.RESOINDEX = 9; }
  ASSERT_TRUE(SaveProject(path));
  ASSERT_TRUE(WriteProfileString("Project", "FilePath", path, Settings()));
  { State()->block.OUTPUTRESO.RESOINDEX = 0; }
  MakeWindow();
  EXPECT_EQ(Window().ProjectPath(), path);
  EXPECT_EQ(State()->block.OUTPUTRESO.RESOINDEX, 9);
}

using CloseOrder = MainWindowTest;

TEST_F(CloseOrder, LinksCloseAndTheLibraryStopsBeforeTheProjectIsSaved) {
  { State()->block.OUTPUTRESO.RESOINDEX = 4; }
  const std::string path = Window().ProjectPath();
  EXPECT_TRUE(Window().CloseDown());
  EXPECT_EQ(Library().CloseAllCount(), 1);
  EXPECT_TRUE(libraryStopped_);
  EXPECT_EQ(projectAtStop_.find("RESOINDEX"), std::string::npos);  // not saved yet then
  EXPECT_NE(ReadFile(path).find("RESOINDEX"), std::string::npos);
  EXPECT_EQ(ReadSetting("Project", "FilePath", Settings()), path);
  EXPECT_EQ(&GetReplySink() == static_cast<ReplySink*>(&Window()), false);
}

TEST_F(CloseOrder, AFailedSaveIsReportedAndTheSettingsGoElsewhere) {
  // A project path inside a plain file cannot be written: a project is
  // opened, then its folder is replaced by a file.
  const std::string blocker = Folder() + "blocker";
  std::filesystem::create_directory(blocker);
  ASSERT_TRUE(SaveProject(blocker + "/show.pro"));
  SendMsg(&Window(), UM_PROJECT_FILE, kProjectOpen, 0,
          QString::fromStdString(blocker + "/show.pro"));
  ASSERT_EQ(Window().ProjectPath(), blocker + "/show.pro");
  std::filesystem::remove_all(blocker);
  { std::ofstream(blocker) << "x"; }
  EXPECT_FALSE(Window().CloseDown());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_TRUE(Boxes()[0].text.contains(QStringLiteral("could not be saved")));
  EXPECT_TRUE(Boxes()[0].text.contains(QStringLiteral("recovered-")));
  const QString text = Boxes()[0].text;
  const QString saved = text.section(QLatin1Char('\n'), 3, 3);
  EXPECT_NE(ReadFile(saved.toStdString()).find("RESOINDEX"), std::string::npos);
}

// The project's folder is removed while the panel runs: the close saves
// beside it, tells the operator, and the settings file (turned UTF-16 by the
// path's letters) leads the next start to that very file.
TEST_F(CloseOrder, AProjectWhoseFolderVanishedIsSavedBesideItAndFoundAgain) {
  SetAnsiCodePageForTesting(kCodePageWestern);  // "łódź" does not fit it
  const std::string folder = Folder() +
                             "\xC5\x82\xC3\xB3"
                             "d\xC5\xBA/";
  std::filesystem::create_directories(folder);
  const std::string opened = folder + "show.pro";
  ASSERT_TRUE(SaveProject(opened));
  SendMsg(&Window(), UM_PROJECT_FILE, kProjectOpen, 0, QString::fromStdString(opened));
  std::filesystem::remove_all(folder);
  { State()->block.OUTPUTRESO.RESOINDEX = 6; }
  EXPECT_FALSE(Window().CloseDown());

  const std::string written = folder + "show/show.pro";
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_TRUE(Boxes()[0].text.contains(QString::fromStdString(opened)));
  EXPECT_TRUE(Boxes()[0].text.contains(QString::fromStdString(written)));
  EXPECT_EQ(ReadSetting("Project", "FilePath", Settings()), written);
  { State()->block.OUTPUTRESO.RESOINDEX = 0; }
  MakeWindow();
  EXPECT_EQ(Window().ProjectPath(), written);
  EXPECT_EQ(State()->block.OUTPUTRESO.RESOINDEX, 6);
  SetAnsiCodePageForTesting(0);
}

using Refresh = MainWindowTest;

TEST_F(Refresh, RowsReachThePagesOnTheGuiThreadInArrivalOrder) {
  auto* edidPage = static_cast<MEdidDlg*>(Window().ColumnPage(7));
  auto* misc = Window().MiscPage();
  auto* keyer = Window().KeyerPage();
  const int edidBefore = edidPage->RefreshCount();
  const int miscBefore = misc->RefreshCount();
  const int keyerBefore = keyer->RefreshCount();

  std::thread replyThread([this] {
    Window().RefreshAfterReply(2, 0);
    Window().RefreshAfterReply(16, 0);
    Window().RefreshAfterReply(19, 0);
  });
  replyThread.join();
  EXPECT_EQ(edidPage->RefreshCount(), edidBefore);  // nothing ran on the reply thread
  DeliverPostedMessages();
  EXPECT_EQ(edidPage->RefreshCount(), edidBefore + 2);
  // Row 2, the mosaic page's mode request (0x5B4) in row 2, and row 16.
  EXPECT_EQ(keyer->RefreshCount(), keyerBefore + 3);
  EXPECT_EQ(misc->RefreshCount(), miscBefore + 3);  // twice in row 2, system info
}

TEST_F(Refresh, FreezeButtonPresetButtonsAndBoardControlsFollowTheRecord) {
  {
    auto s = State();
    s->block.FREEZE_STATE = 1;
    s->PRESET_FLAGS[2] = 1;
    s->block.COMPOSITEBOARD.CMPBOARDEXIST = 1;
  }
  Window().RefreshAfterReply(31, 0);
  Window().RefreshAfterReply(17, 0);
  Window().BoardRefresh();
  DeliverPostedMessages();
  EXPECT_TRUE(Window().Button(strip::kFreeze)->IsChecked());
  EXPECT_FALSE(Window().Button(strip::kPresetFirst + 2)->DisabledLook());
  EXPECT_TRUE(Window().Button(strip::kPresetFirst + 3)->DisabledLook());
  EXPECT_TRUE(Window().Button(strip::kSignalSwitch)->isVisible());

  { State()->block.COMPOSITEBOARD.CMPBOARDEXIST = 0; }
  Window().RefreshAfterReply(2, 0);
  DeliverPostedMessages();
  EXPECT_FALSE(Window().Button(strip::kSignalSwitch)->isVisible());
}

TEST_F(Refresh, ProgramPreviewModeShowsTakeAndThePreviewButtons) {
  { State()->block.PVWMODEINFO.PVWMODE = 1; }
  Window().RefreshAfterReply(20, 0);
  DeliverPostedMessages();
  EXPECT_TRUE(Window().Button(strip::kTake)->isVisible());
  EXPECT_FALSE(Window().Button(strip::kPvwFirst)->isVisible());
  EXPECT_TRUE(Window().Button(strip::kPvwFirst + 3)->isVisible());
  EXPECT_FALSE(Window().PageButton(2)->isEnabled());  // mosaic

  { State()->block.PVWMODEINFO.PVWMODE = 0; }
  Window().RefreshAfterReply(20, 0);
  DeliverPostedMessages();
  EXPECT_FALSE(Window().Button(strip::kTake)->isVisible());
  EXPECT_TRUE(Window().PageButton(2)->isEnabled());
}

using Messages = MainWindowTest;

TEST_F(Messages, LockIndicatorAndSearchWindowRequests) {
  SendMsg(&Window(), UM_LOCK_LAYERS, 0, 1);
  EXPECT_TRUE(Window().MainPage()->LayerCellsLocked());
  EXPECT_FALSE(Window().Button(strip::kPgmFirst + 1)->isEnabled());
  EXPECT_FALSE(Window().Button(strip::kTake)->isEnabled());
  SendMsg(&Window(), UM_LOCK_LAYERS, 0, 0);
  EXPECT_FALSE(Window().MainPage()->LayerCellsLocked());
  EXPECT_TRUE(Window().Button(strip::kPgmFirst + 1)->isEnabled());

  SendMsg(&Window(), UM_PAGE_REQUEST, request::kOnline, 1);
  EXPECT_TRUE(Window().ConnectionIndicator());
  EXPECT_TRUE(Window().Button(strip::kOnlineLamp)->IsChecked());
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kOnline, 0);
  EXPECT_FALSE(Window().ConnectionIndicator());

  auto* search = reinterpret_cast<QWidget*>(Window().SearchWindow());
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kSearchWindow, 0);
  EXPECT_TRUE(search->isVisible());
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kSearchWindow, 0);
  EXPECT_FALSE(search->isVisible());
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kSearchWindow, 1);
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kSearchWindow, 3);
  EXPECT_FALSE(search->isVisible());

  SendMsg(&Window(), UM_PAGE_REQUEST, request::kTopButtons, 1);
  EXPECT_TRUE(Window().Button(strip::kTopFirst)->isVisible());
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kTopButtons, 0);
  EXPECT_FALSE(Window().Button(strip::kTopFirst)->isVisible());
}

TEST_F(Messages, LayerButtonsSwitchPipLayers) {
  Library().ClearRecords();
  QTest::mouseClick(Window().Button(strip::kPgmFirst + 1), Qt::LeftButton);
  EXPECT_EQ(State()->block.CHNLDATA[1].CHNLONOFF, 1);
  auto sends = Library().TypedSendsOf(SET_LAYER_ONOFF);
  ASSERT_EQ(sends.size(), 1u);
  EXPECT_EQ(sends[0].bytes[0], 1);  // layer 1
  EXPECT_EQ(sends[0].bytes[1], 1);  // on
  QTest::mouseClick(Window().Button(strip::kPgmFirst + 1), Qt::LeftButton);
  EXPECT_EQ(State()->block.CHNLDATA[1].CHNLONOFF, 0);
  // PIP-3 on program belongs to the logo while the logo uses it.
  { State()->block.LOGOINFO.LOGOUSAGE = 1; }
  QTest::mouseClick(Window().Button(strip::kPgmFirst + 3), Qt::LeftButton);
  EXPECT_EQ(State()->block.CHNLDATA[3].CHNLONOFF, 0);
  EXPECT_EQ(Library().TypedSendsOf(SET_LAYER_ONOFF).size(), 2u);
}

TEST_F(Messages, MiscTabsShowOneSubPageAtATime) {
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kMiscTab, 0, QVariantList{1, 1});
  EXPECT_TRUE(Window().KeyerPage()->isVisible());
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kMiscTab, 0, QVariantList{3, 1});
  EXPECT_FALSE(Window().KeyerPage()->isVisible());
  EXPECT_TRUE(Window().TaskPage()->isVisible());
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kMiscTab, 0, QVariantList{0, 1});
  EXPECT_FALSE(Window().TaskPage()->isVisible());
  EXPECT_EQ(Window().CurrentPage(), 9);
}

TEST_F(Messages, LanguageSwitchRelabelsTheWindow) {
  ASSERT_EQ(Window().PageButton(0)->text(), QStringLiteral("PICTURE"));
  SendMsg(&Window(), UM_LANGUAGE, 1);
  EXPECT_EQ(ActiveLanguageName(), "Chinese");
  EXPECT_NE(Window().PageButton(0)->text(), QStringLiteral("PICTURE"));
  EXPECT_EQ(Window().PageButton(0)->text(), QString::fromStdString(GetRawText("IDS_1021")));
  EXPECT_EQ(Window().Button(strip::kSwitch)->text(), QString::fromStdString(UiText(41)));
  // The sync lists take the texts of the language too.
  auto* syncLock = static_cast<CDropButton*>(FindControl(&Window(), strip::kSyncLockList));
  ASSERT_NE(syncLock, nullptr);
  EXPECT_EQ(syncLock->List()->GetText(0), QString::fromStdString(UiText(100)));
  EXPECT_NE(syncLock->List()->GetText(0), QStringLiteral(" Free Run"));
  // Qt's own texts (the buttons of every message box) switch with it.
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));
  SendMsg(&Window(), UM_LANGUAGE, 0);
  EXPECT_EQ(Window().PageButton(0)->text(), QStringLiteral("PICTURE"));
  EXPECT_EQ(syncLock->List()->GetText(0), QStringLiteral(" Free Run"));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

using Wait = MainWindowTest;

TEST_F(Wait, ShowDisablesTheWindowAndHideGivesItBack) {
  const QImage open = Window().grab().toImage();
  SendMsg(&Window(), UM_WAIT, 1, 0, QStringLiteral("one moment"));
  EXPECT_TRUE(Window().Wait().Shown());
  EXPECT_EQ(Window().Wait().Text(), QStringLiteral("one moment"));
  EXPECT_FALSE(Window().ContentEnabled());
  EXPECT_TRUE(open == Window().grab().toImage()) << "the window keeps its look while it waits";
  // Keys are ignored while waiting.
  { State()->PRESET_FLAGS[1] = 1; }
  Library().ClearRecords();
  QTest::keyRelease(&Window(), Qt::Key_1, Qt::ControlModifier);
  EXPECT_TRUE(Library().TypedSends().empty());
  Window().BusyOff();
  DeliverPostedMessages();
  EXPECT_FALSE(Window().Wait().Shown());
  EXPECT_TRUE(Window().ContentEnabled());
}

TEST_F(Wait, EveryPageKeepsItsLookWhileTheWindowWaits) {
  for (int page = 0; page <= 10; ++page) {
    Window().ShowPageByIndex(page, false);
    const QImage open = Window().grab().toImage();
    SendMsg(&Window(), UM_WAIT, 1, 0, QStringLiteral("one moment"));
    EXPECT_TRUE(open == Window().grab().toImage()) << "page " << page << " changed its look";
    Window().BusyOff();
    DeliverPostedMessages();
  }
}

TEST_F(Wait, NoAnswerWithinFifteenSecondsGivesTheWindowBack) {
  Window().BusyOn(kWaitTextGettingData);
  DeliverPostedMessages();
  ASSERT_TRUE(Window().Wait().Shown());
  EXPECT_EQ(Window().Wait().Text(), QStringLiteral("Getting Data From Desitination... "));
  AdvanceManualTime(14999);
  EXPECT_TRUE(Window().Wait().Shown());
  EXPECT_TRUE(Boxes().empty());
  AdvanceManualTime(1);
  EXPECT_FALSE(Window().Wait().Shown());
  EXPECT_TRUE(Window().ContentEnabled());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_TRUE(Boxes()[0].text.contains(QStringLiteral("did not answer")));
  // A late answer changes nothing.
  Window().BusyOff();
  DeliverPostedMessages();
  EXPECT_FALSE(Window().Wait().Shown());
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(Wait, ANewWaitRestartsTheTimeOut) {
  SendMsg(&Window(), UM_WAIT, 1, 0, QStringLiteral("first"));
  AdvanceManualTime(10000);
  SendMsg(&Window(), UM_WAIT, 1, 0, QStringLiteral("second"));
  AdvanceManualTime(10000);
  EXPECT_TRUE(Window().Wait().Shown());
  EXPECT_EQ(Window().Wait().Text(), QStringLiteral("second"));
  AdvanceManualTime(5000);
  EXPECT_FALSE(Window().Wait().Shown());
}

TEST_F(Messages, TheMainPageFollowsTheWindowsRequestsAndButtons) {
  const mainpage::MainPageCells& cells = *Window().MainPage()->Cells();
  {
    auto s = State();
    s->block.CHNLDATA[2].CHNLONOFF = 1;
    s->block.OUTPUTRESO.HRESO = 1920;
    s->block.OUTPUTRESO.VRESO = 1080;
    s->block.LOGOINFO.LOGOUSAGE = 1;
    s->block.LOGOINFO.LOGOONOFF = 1;
  }
  SendMsg(&Window(), UM_PAGE_REQUEST, request::kPipCell, 1);  // PIP-2
  EXPECT_FALSE(cells.Layer(2)->IsHidden());
  EXPECT_TRUE(Window().Button(strip::kPgmFirst + 2)->IsChecked());

  SendMsg(&Window(), UM_LOGO_LAYER, 1, 0);
  EXPECT_EQ(cells.Layer(3)->Name(), QStringLiteral("LOGO"));
  EXPECT_TRUE(cells.Layer(3)->IsFixed());
  EXPECT_FALSE(cells.Layer(3)->IsHidden());

  SendMsg(&Window(), UM_PAGE_REQUEST, request::kArrangement, 1);  // output 2 below output 1
  const canvas::Rect first = cells.Output(0)->DeviceRect();
  EXPECT_EQ(cells.Output(1)->DeviceRect(),
            (canvas::Rect{first.left, first.bottom, first.right, first.bottom + 1080}));

  // Lock Output pressed: the areas are locked and the layers shown by their
  // on/off state; released: the areas can be moved and the layers are hidden.
  CGdipButton* lock = Window().Button(strip::kLockOutput);
  lock->show();
  auto press = [lock] {
    // Straight to the button: the canvas may lie over its place.
    const QPointF at(5, 5);
    QMouseEvent down(QEvent::MouseButtonPress, at, lock->mapToGlobal(at), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QMouseEvent up(QEvent::MouseButtonRelease, at, lock->mapToGlobal(at), Qt::LeftButton,
                   Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(lock, &down);
    QApplication::sendEvent(lock, &up);
  };
  // It starts pressed, as the areas start locked: the first press releases.
  ASSERT_TRUE(lock->IsChecked());
  press();
  EXPECT_FALSE(lock->IsChecked());
  EXPECT_FALSE(cells.Output(0)->IsFixed());
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(cells.Layer(i)->IsHidden()) << i;
  press();
  EXPECT_TRUE(lock->IsChecked());
  EXPECT_TRUE(cells.Output(0)->IsFixed());
  EXPECT_FALSE(cells.Layer(2)->IsHidden());
  EXPECT_TRUE(cells.Layer(1)->IsHidden());
}

}  // namespace
}  // namespace orv::test
