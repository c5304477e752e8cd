// The batch's threads, lock and wake-up on Windows: calls that Windows XP has.
#include "cli/batch_threads.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <process.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <system_error>
#include <utility>

namespace kestrune {
namespace {

// A worker's engine is on the heap and its deepest calls take a few kilobytes of stack (the
// platform's paths, the INI reader); this leaves room many times over, and 64 workers still
// reserve little of a 32-bit process's address space.
constexpr unsigned kWorkerStackBytes = 256 * 1024;

// The C runtime's own start, so that it sets up what its functions keep per thread.
unsigned __stdcall RunWork(void* argument) noexcept {
  const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(argument));
  (*work)();
  return 0;
}

}  // namespace

struct BatchMutex::Section {
  CRITICAL_SECTION section;
};

BatchThread::BatchThread(std::function<void()> work) {
  auto owned = std::make_unique<std::function<void()>>(std::move(work));
  const std::uintptr_t handle = _beginthreadex(nullptr, kWorkerStackBytes, RunWork, owned.get(),
                                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (handle == 0) throw std::system_error(errno, std::generic_category(), "no thread");
  owned.release();
  handle_ = reinterpret_cast<void*>(handle);
}

BatchThread::BatchThread(BatchThread&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

BatchThread& BatchThread::operator=(BatchThread&& other) noexcept {
  if (joinable()) std::terminate();
  handle_ = std::exchange(other.handle_, nullptr);
  return *this;
}

BatchThread::~BatchThread() {
  if (joinable()) std::terminate();
}

void BatchThread::join() {
  WaitForSingleObject(handle_, INFINITE);
  CloseHandle(handle_);
  handle_ = nullptr;
}

BatchMutex::BatchMutex() : section_(std::make_unique<Section>()) {
  if (!InitializeCriticalSectionAndSpinCount(&section_->section, 0)) throw std::bad_alloc();
}

BatchMutex::~BatchMutex() { DeleteCriticalSection(&section_->section); }

void BatchMutex::lock() { EnterCriticalSection(&section_->section); }

void BatchMutex::unlock() { LeaveCriticalSection(&section_->section); }

// An event that stays set, so that a change made between a waiter's look and its wait still
// wakes it; the waiter clears it under the lock, before it looks again.
BatchSignal::BatchSignal() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  if (event_ == nullptr) throw std::bad_alloc();
}

BatchSignal::~BatchSignal() { CloseHandle(event_); }

void BatchSignal::notify_all() { SetEvent(event_); }

void BatchSignal::wait_for(std::unique_lock<BatchMutex>& hold, std::chrono::milliseconds most) {
  hold.unlock();
  WaitForSingleObject(event_, static_cast<DWORD>(most.count()));
  hold.lock();
  ResetEvent(event_);
}

// The console's control handler runs on a thread of its own: there is nothing to block.
BatchThread StartWorkerThread(std::function<void()> work) { return BatchThread(std::move(work)); }

}  // namespace kestrune
