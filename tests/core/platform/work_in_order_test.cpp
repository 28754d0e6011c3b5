#include "core/platform/work_in_order.h"

#include <QThread>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <stdexcept>
#include <vector>

namespace orvanta {
namespace {

TEST(WorkInOrder, ThreadCountIsTheOneAskedForOrTheCores) {
  EXPECT_EQ(WorkThreadCount(1), 1);
  EXPECT_EQ(WorkThreadCount(3), 3);
  EXPECT_EQ(WorkThreadCount(0), std::max(QThread::idealThreadCount(), 1));
  EXPECT_GE(WorkThreadCount(-5), 1);
}

// Every piece is taken once, in ascending order, on the calling thread, after
// its own work; never more than `ahead` pieces are out at once.
TEST(WorkInOrder, TakesEveryResultInOrderOnTheCallingThreadWithFewHeld) {
  for (const int threads : {1, 2, 4, 7}) {
    SCOPED_TRACE(threads);
    constexpr int kCount = 300;
    const int ahead = 3;
    std::mutex mutex;
    std::vector<int> produced(kCount, 0);
    std::vector<int> taken;
    int out = 0;  // produced or being produced, not yet taken
    int mostOut = 0;
    std::set<Qt::HANDLE> producers;
    const Qt::HANDLE caller = QThread::currentThreadId();
    bool takenElsewhere = false;
    RunInOrder(
        kCount, threads, ahead,
        [&](int i) {
          {
            std::lock_guard lock(mutex);
            mostOut = std::max(mostOut, ++out);
            producers.insert(QThread::currentThreadId());
          }
          // Some pieces take longer, so they finish out of order.
          volatile int spin = 0;
          for (int k = 0; k < (i % 7) * 2000; ++k) spin = spin + k;
          std::lock_guard lock(mutex);
          produced[static_cast<std::size_t>(i)] = 1;
        },
        [&](int i) {
          std::lock_guard lock(mutex);
          if (QThread::currentThreadId() != caller) takenElsewhere = true;
          EXPECT_EQ(produced[static_cast<std::size_t>(i)], 1) << "piece " << i << " taken before it was made";
          taken.push_back(i);
          --out;
        });
    ASSERT_EQ(static_cast<int>(taken.size()), kCount);
    for (int i = 0; i < kCount; ++i) EXPECT_EQ(taken[static_cast<std::size_t>(i)], i);
    EXPECT_FALSE(takenElsewhere);
    EXPECT_LE(mostOut, std::max(ahead, threads));
    if (threads == 1) {
      EXPECT_EQ(producers, std::set<Qt::HANDLE>{caller});
    }
  }
}

// With several threads, pieces are worked on side by side: piece 0 waits
// until piece 1 has started, which only another thread can do.
TEST(WorkInOrder, PiecesRunSideBySide) {
  std::mutex mutex;
  std::condition_variable started;
  bool secondStarted = false;
  bool sawSecond = false;
  RunInOrder(
      4, 2, 4,
      [&](int i) {
        std::unique_lock lock(mutex);
        if (i == 1) {
          secondStarted = true;
          started.notify_all();
        } else if (i == 0) {
          // Bounded, so that a fault shows as a failure, not a hang.
          sawSecond = started.wait_for(lock, std::chrono::seconds(60), [&] { return secondStarted; });
        }
      },
      [](int) {});
  EXPECT_TRUE(sawSecond);
}

TEST(WorkInOrder, AnExceptionStopsTheWorkAndReachesTheCaller) {
  for (const int threads : {1, 3}) {
    SCOPED_TRACE(threads);
    std::atomic<int> producedAfterStop = 0;
    std::vector<int> taken;
    EXPECT_THROW(RunInOrder(
                     200, threads, 4,
                     [&](int i) {
                       if (i == 10) throw std::runtime_error("piece 10");
                       if (i > 40) ++producedAfterStop;
                     },
                     [&](int i) { taken.push_back(i); }),
                 std::runtime_error);
    // Nothing at or after the failed piece was taken, and the workers did not
    // run on to the end.
    for (int i : taken) EXPECT_LT(i, 10);
    EXPECT_EQ(producedAfterStop.load(), 0);

    std::vector<int> takenBeforeThrow;
    EXPECT_THROW(RunInOrder(
                     50, threads, 4, [](int) {},
                     [&](int i) {
                       if (i == 5) throw std::logic_error("take 5");
                       takenBeforeThrow.push_back(i);
                     }),
                 std::logic_error);
    EXPECT_EQ(takenBeforeThrow, (std::vector<int>{0, 1, 2, 3, 4}));
  }
}

TEST(WorkInOrder, MapHandsEachResultToItsTakerInOrder) {
  for (const int threads : {1, 4}) {
    SCOPED_TRACE(threads);
    std::vector<std::pair<int, std::vector<int>>> got;
    MapInOrder<std::vector<int>>(
        100, threads, [](int i) { return std::vector<int>(static_cast<std::size_t>(i % 5), i); },
        [&](int i, std::vector<int>&& v) { got.emplace_back(i, std::move(v)); });
    ASSERT_EQ(got.size(), 100u);
    for (int i = 0; i < 100; ++i) {
      EXPECT_EQ(got[static_cast<std::size_t>(i)].first, i);
      EXPECT_EQ(got[static_cast<std::size_t>(i)].second, std::vector<int>(static_cast<std::size_t>(i % 5), i));
    }
  }
  bool called = false;
  MapInOrder<int>(
      0, 4,
      [&](int) {
        called = true;
        return 0;
      },
      [&](int, int&&) { called = true; });
  EXPECT_FALSE(called);
}

}  // namespace
}  // namespace orvanta
