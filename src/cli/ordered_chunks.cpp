// Ordered, parallel formatting of output chunks.
#include "cli/ordered_chunks.hpp"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace lkrva::cli {

void FormatInOrder(std::size_t count, unsigned threads, const std::function<void()>& produce,
                   const std::function<void(std::size_t)>& ready,
                   const std::function<void(std::size_t, std::string&)>& format,
                   const std::function<void(const std::string&)>& write) {
  std::atomic<std::size_t> next_chunk{0};
  std::mutex mutex;
  std::condition_variable turn;
  std::size_t next_to_write = 0;  // guarded by mutex
  std::exception_ptr failure;     // guarded by mutex
  std::atomic<bool> failed{false};

  auto fail = [&](std::exception_ptr e) {
    std::lock_guard lock(mutex);
    if (!failure) failure = e;
    failed = true;
    turn.notify_all();
  };

  auto work = [&] {
    std::string text;
    while (!failed) {
      const std::size_t i = next_chunk++;
      if (i >= count) return;
      try {
        ready(i);
        text.clear();
        format(i, text);
      } catch (...) {
        fail(std::current_exception());
        return;
      }
      std::unique_lock lock(mutex);
      turn.wait(lock, [&] { return next_to_write == i || failed; });
      if (failed) return;
      try {
        write(text);
      } catch (...) {
        lock.unlock();
        fail(std::current_exception());
        return;
      }
      ++next_to_write;
      turn.notify_all();
    }
  };

  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(work);
  try {
    produce();
  } catch (...) {
    fail(std::current_exception());
  }
  work();
  for (std::thread& t : helpers) t.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace lkrva::cli
