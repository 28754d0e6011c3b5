#pragma once
// Numbered pieces of work done on several threads and taken up in their
// order: the data files of a scan are read and classified side by side, and
// their results are merged file by file, so that what comes out is the same,
// byte for byte, as when one thread does everything.
//
// The calling thread takes every result itself, in ascending order, as soon
// as it and all before it are done. Worker threads run at most a few pieces
// ahead of the one the caller waits for, so only a few results are held at a
// time. With one thread, every piece is done and taken on the calling thread,
// one after another.

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace orvanta {

// How many threads a scan uses: `asked` when it is 1 or more, otherwise as
// many as the machine has cores (at least 1).
int WorkThreadCount(int asked);

// Runs produce(i) for i = 0 to count - 1 on up to `threads` threads (see
// WorkThreadCount) and take(i) on the calling thread in ascending order, each
// take(i) after its produce(i) has ended. At most `ahead` pieces (at least
// one per thread) are produced and not yet taken at a time. produce must be
// safe to run on several threads at once; take runs on the calling thread
// only. An exception thrown by either stops the work and is thrown again
// here once every worker has ended.
void RunInOrder(int count, int threads, int ahead, const std::function<void(int)>& produce,
                const std::function<void(int)>& take);

// The same with a result per piece: map(i) makes it on some thread, take(i,
// result) gets it on the calling thread in ascending order.
template <typename Result>
void MapInOrder(int count, int threads, const std::function<Result(int)>& map,
                const std::function<void(int, Result&&)>& take) {
  const int workers = WorkThreadCount(threads);
  // Room for a worker that is held up by the rest of the machine: the others
  // go on with the pieces after its one meanwhile.
  const int ahead = 4 * workers;
  // A piece's slot is free again once its result was taken, and no more
  // than `ahead` pieces are out at once, so `ahead` places serve them all.
  std::vector<std::optional<Result>> held(static_cast<std::size_t>(ahead));
  RunInOrder(
      count, workers, ahead, [&](int i) { held[static_cast<std::size_t>(i % ahead)].emplace(map(i)); },
      [&](int i) {
        std::optional<Result>& slot = held[static_cast<std::size_t>(i % ahead)];
        Result result = std::move(*slot);
        slot.reset();
        take(i, std::move(result));
      });
}

}  // namespace orvanta
