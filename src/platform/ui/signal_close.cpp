#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <initializer_list>

#include "platform/ui/layer.h"
#include "platform/ui/window.h"

namespace cvl::ui {
namespace {

// Only lock-free atomics are touched in the handler.
std::atomic<Handle> signalTarget{noHandle};
std::atomic<bool> closeSignalled{false};
static_assert(std::atomic<Handle>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

extern "C" void lf_closeOnSignal(int) {
  const int savedErrno = errno;
  closeSignalled.store(true);
  detail::layer().wake();
  errno = savedErrno;
}

sigset_t lf_setOf(std::initializer_list<int> signalNumbers) {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signalNumber : signalNumbers) {
    sigaddset(&signals, signalNumber);
  }
  return signals;
}

}  // namespace

void holdSignals(std::initializer_list<int> signalNumbers) {
  const sigset_t held = lf_setOf(signalNumbers);
  ::pthread_sigmask(SIG_BLOCK, &held, nullptr);
}

void closeOnSignals(Handle window, std::initializer_list<int> signalNumbers) {
  detail::layer();  // the wake pipe exists before any handler can use it
  signalTarget.store(window);
  struct sigaction action {};
  action.sa_handler = lf_closeOnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signalNumber : signalNumbers) {
    ::sigaction(signalNumber, &action, nullptr);
  }
  const sigset_t taken = lf_setOf(signalNumbers);
  ::pthread_sigmask(SIG_UNBLOCK, &taken, nullptr);
}

namespace detail {

void postSignalledClose() {
  if (closeSignalled.exchange(false)) {
    post(signalTarget.load(), msgClose, closedBySignal);
  }
}

}  // namespace detail
}  // namespace cvl::ui
