#include "core/platform/work_in_order.h"

#include <QFuture>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>

namespace orvanta {
namespace {

// More threads than this gain nothing on data files read from one disk.
constexpr int kMostThreads = 16;

// What the workers and the calling thread share.
class OrderedWork {
 public:
  OrderedWork(int count, int ahead) : count_(count), ahead_(ahead), done_(static_cast<std::size_t>(count), 0) {}

  // A worker: takes the next piece while it is no more than `ahead` pieces
  // beyond the first one not yet taken, until none is left or work stopped.
  void work(const std::function<void(int)>& produce) {
    for (;;) {
      int i = 0;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopped_ || next_ >= count_ || next_ < taken_ + ahead_; });
        if (stopped_ || next_ >= count_) return;
        i = next_++;
      }
      try {
        produce(i);
      } catch (...) {
        stop(std::current_exception());
        return;
      }
      {
        std::lock_guard lock(mutex_);
        done_[static_cast<std::size_t>(i)] = 1;
      }
      changed_.notify_all();
    }
  }

  // The calling thread: waits for piece i. False when work stopped.
  bool waitFor(int i) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return stopped_ || done_[static_cast<std::size_t>(i)] != 0; });
    return !stopped_;
  }

  void taken(int i) {
    {
      std::lock_guard lock(mutex_);
      taken_ = i + 1;
    }
    changed_.notify_all();
  }

  void stop(std::exception_ptr error) {
    {
      std::lock_guard lock(mutex_);
      if (error && !error_) error_ = error;
      stopped_ = true;
    }
    changed_.notify_all();
  }

  std::exception_ptr error() {
    std::lock_guard lock(mutex_);
    return error_;
  }

 private:
  const int count_;
  const int ahead_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<char> done_;
  int next_ = 0;   // the next piece a worker takes up
  int taken_ = 0;  // pieces taken by the calling thread
  bool stopped_ = false;
  std::exception_ptr error_;
};

}  // namespace

int WorkThreadCount(int asked) {
  if (asked >= 1) return std::min(asked, kMostThreads);
  return std::clamp(QThread::idealThreadCount(), 1, kMostThreads);
}

void RunInOrder(int count, int threads, int ahead, const std::function<void(int)>& produce,
                const std::function<void(int)>& take) {
  if (count <= 0) return;
  const int workers = std::min(WorkThreadCount(threads), count);
  if (workers == 1) {
    for (int i = 0; i < count; ++i) {
      produce(i);
      take(i);
    }
    return;
  }

  OrderedWork work(count, std::max(ahead, workers));
  // A pool of its own: the workers never wait behind other work of the
  // program, and the scan never waits for a thread it cannot get.
  QThreadPool pool;
  pool.setMaxThreadCount(workers);
  std::vector<QFuture<void>> running;
  running.reserve(static_cast<std::size_t>(workers));
  for (int w = 0; w < workers; ++w)
    running.push_back(QtConcurrent::run(&pool, [&work, &produce] { work.work(produce); }));

  std::exception_ptr error;
  for (int i = 0; i < count; ++i) {
    if (!work.waitFor(i)) break;
    try {
      take(i);
    } catch (...) {
      work.stop(std::current_exception());
      break;
    }
    work.taken(i);
  }
  for (QFuture<void>& f : running) f.waitForFinished();
  pool.waitForDone();
  if (const std::exception_ptr e = work.error()) std::rethrow_exception(e);
}

}  // namespace orvanta
