#include "common/parallel.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace tervolin {

std::size_t processorParts() {
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : n;
}

void runParts(std::size_t parts, const std::function<void(std::size_t part)>& work,
              const std::function<void()>& waiting) {
  if (parts <= 1) {
    if (parts == 1) work(0);
    return;
  }
  std::vector<std::exception_ptr> failures(parts);
  std::mutex mutex;
  std::condition_variable done;
  std::size_t running = parts - 1;
  std::vector<std::thread> threads;
  threads.reserve(parts - 1);
  const auto runOne = [&](std::size_t part) {
    try {
      work(part);
    } catch (...) {
      failures[part] = std::current_exception();
    }
  };
  try {
    for (std::size_t part = 1; part < parts; ++part) {
      threads.emplace_back([&, part] {
        runOne(part);
        const std::lock_guard lock(mutex);
        --running;
        done.notify_one();
      });
    }
  } catch (...) {
    // No thread could be started: the parts not started run here.
    for (std::size_t part = threads.size() + 1; part < parts; ++part) {
      runOne(part);
      const std::lock_guard lock(mutex);
      --running;
    }
  }
  runOne(0);
  {
    std::unique_lock lock(mutex);
    while (running > 0) {
      if (waiting) {
        done.wait_for(lock, std::chrono::milliseconds(50));
        if (running == 0) break;
        lock.unlock();
        waiting();
        lock.lock();
      } else {
        done.wait(lock);
      }
    }
  }
  for (std::thread& t : threads) t.join();
  for (const std::exception_ptr& failure : failures)
    if (failure) std::rethrow_exception(failure);
}

}  // namespace tervolin
