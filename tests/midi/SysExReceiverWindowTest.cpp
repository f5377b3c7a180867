// The receive dialog and the Qt scheduler, offscreen.
#include <gtest/gtest.h>

#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <thread>

#include "library/Log.h"
#include "midi/QtScheduler.h"
#include "midi/ReceiveDispatcher.h"
#include "midi/TfrmSysExReceiver.h"
#include "tests/midi/MidiFakes.h"

namespace tarvix {
namespace {

TEST(TfrmSysExReceiver, CloseButtonAndTickEndAModalReadInADialogOnTop) {
  QtScheduler scheduler;
  ManualScheduler unused;
  test::ScriptedLink link{unused};
  link.silent = true;
  MemoryLog log;
  BankSet blofeld;
  QWidget main;
  main.setGeometry(100, 100, 800, 600);
  TfrmSysExReceiver dlg(&main);
  ReceiveDispatcher d(blofeld, link, scheduler, dlg, log);
  dlg.SetDispatcher(&d);
  EXPECT_EQ(dlg.windowTitle(), "SysEx Communication");
  EXPECT_TRUE(dlg.windowFlags() & Qt::WindowStaysOnTopHint);

  // A bank read against a silent instrument stays up until Cancel; the button says so while the read runs, and a
  // progress bar shows.
  bool closed = false;
  QTimer::singleShot(1200, &dlg, [&] {
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_NEAR(dlg.frameGeometry().center().x(), main.mapToGlobal(main.rect().center()).x(), 20);
    EXPECT_EQ(dlg.btnClose()->text(), "Cancel");
    EXPECT_TRUE(dlg.Progress()->isVisible());
    EXPECT_EQ(dlg.Progress()->maximum(), 128);
    QTest::mouseClick(dlg.btnClose(), Qt::LeftButton);
  });
  d.ReadBank(0, [&] { closed = true; });  // blocks in the dialog's loop
  EXPECT_TRUE(closed);
  EXPECT_EQ(link.sent.size(), 2u);  // the request, and once more after 500 ms
  EXPECT_EQ(dlg.btnClose()->text(), "&Close");
  EXPECT_TRUE(d.Cancelled);

  // A single read ends by itself once its rounds of asking again are over.
  closed = false;
  QTimer failSafe;
  failSafe.setSingleShot(true);
  QObject::connect(&failSafe, &QTimer::timeout, &dlg, [&] { dlg.Close(); });
  failSafe.start(12000);
  d.ReadCurrentSound(5, [&] { closed = true; });
  EXPECT_TRUE(closed);
  EXPECT_TRUE(failSafe.isActive());  // ended by itself, not by the fail-safe
  EXPECT_EQ(d.Missing, std::vector<int>{5});

  dlg.ShowModeless();  // as sends show it
  EXPECT_TRUE(dlg.isVisible());
  dlg.Hide();
  EXPECT_FALSE(dlg.isVisible());
}

TEST(QtScheduler, PostsFromAnotherThreadRunInOrderOnTheInterfaceThread) {
  QtScheduler scheduler;
  std::vector<int> order;
  bool onMain = true;
  const auto mainThread = std::this_thread::get_id();
  std::thread t([&] {
    for (int i = 0; i < 100; ++i)
      scheduler.post([&, i] {
        order.push_back(i);
        onMain = onMain && std::this_thread::get_id() == mainThread;
      });
    scheduler.runAfter(20, [&] { order.push_back(1000); });
  });
  t.join();
  QTRY_COMPARE_WITH_TIMEOUT(order.size(), std::size_t{101}, 2000);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
  EXPECT_EQ(order.back(), 1000);
  EXPECT_TRUE(onMain);
}

}  // namespace
}  // namespace tarvix
