// Threads, a lock and a wake-up for the files converted at once, on every system the CLI runs on.
#pragma once

#include <functional>

#if defined(_WIN32)
#include <chrono>
#include <memory>
#include <mutex>
#else
#include <condition_variable>
#include <mutex>
#include <thread>
#endif

namespace kestrune {

#if defined(_WIN32)
// The shipped Windows programs come from a compiler without std::thread, std::mutex and
// std::condition_variable, and run on Windows XP: these stand in for them with the system's
// own calls, whatever the compiler, so that tests run the code that ships. They keep the
// standard types' member names, so that one batch uses either.

// A thread that runs work. Starting one throws std::system_error, as std::thread does, when
// the system has no thread to give; a thread must be joined before it goes.
class BatchThread {
 public:
  BatchThread() = default;
  explicit BatchThread(std::function<void()> work);
  BatchThread(BatchThread&& other) noexcept;
  BatchThread& operator=(BatchThread&& other) noexcept;
  ~BatchThread();

  bool joinable() const { return handle_ != nullptr; }
  void join();

 private:
  void* handle_ = nullptr;
};

// A lock for std::lock_guard and std::unique_lock; not recursive. Throws std::bad_alloc when
// the system cannot make one.
class BatchMutex {
 public:
  BatchMutex();
  ~BatchMutex();
  BatchMutex(const BatchMutex&) = delete;
  BatchMutex& operator=(const BatchMutex&) = delete;

  void lock();
  void unlock();

 private:
  struct Section;
  std::unique_ptr<Section> section_;
};

// Wakes the threads that wait for a change made under the lock. Only timed waits: a wake-up
// may come late, by a wait's length at most, and unasked for, never not at all when the
// change is made under the lock. Throws std::bad_alloc when the system cannot make one.
class BatchSignal {
 public:
  BatchSignal();
  ~BatchSignal();
  BatchSignal(const BatchSignal&) = delete;
  BatchSignal& operator=(const BatchSignal&) = delete;

  void notify_all();
  // Lets go of the lock held until woken or the time has passed, then takes it again.
  void wait_for(std::unique_lock<BatchMutex>& hold, std::chrono::milliseconds most);

 private:
  void* event_;
};
#else
using BatchThread = std::thread;
using BatchMutex = std::mutex;
using BatchSignal = std::condition_variable;
#endif

// A thread of the system for a worker of the batch: on POSIX with the interrupt signals
// blocked in it, so that their handler never runs on top of a conversion.
BatchThread StartWorkerThread(std::function<void()> work);

}  // namespace kestrune
