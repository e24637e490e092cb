#include "platform/MappedMedium.h"

#include <sys/mman.h>

#include <algorithm>
#include <csetjmp>
#include <csignal>
#include <mutex>

namespace korvex {
namespace {

#ifndef MADV_POPULATE_READ
constexpr int MADV_POPULATE_READ = 22;  // Linux 5.14: fills the page tables, reports a failed read
#endif
constexpr std::uint64_t kPageBytes = 4096;

// Where a bus error on this thread returns to while a guarded work runs.
thread_local sigjmp_buf* tGuard = nullptr;
struct sigaction gPrevious {};

void OnBusError(int signal, siginfo_t* info, void* context) {
  if (tGuard != nullptr) siglongjmp(*tGuard, 1);
  if ((gPrevious.sa_flags & SA_SIGINFO) != 0 && gPrevious.sa_sigaction != nullptr) {
    gPrevious.sa_sigaction(signal, info, context);
  } else if (gPrevious.sa_handler != SIG_DFL && gPrevious.sa_handler != SIG_IGN) {
    gPrevious.sa_handler(signal);
  } else {
    // The default action: it takes effect when the faulting read runs again.
    ::sigaction(SIGBUS, &gPrevious, nullptr);
  }
}

void InstallBusErrorHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &gPrevious);
  });
}

class MappedMedium final : public IMediumView {
 public:
  MappedMedium(void* base, std::uint64_t bytes) : base_(static_cast<const std::uint8_t*>(base)), bytes_(bytes) {}
  ~MappedMedium() override { ::munmap(const_cast<std::uint8_t*>(base_), bytes_); }

  bool Populate(std::uint64_t offset, std::uint64_t length) const {
    const std::uint64_t first = offset / kPageBytes * kPageBytes;
    return ::madvise(const_cast<std::uint8_t*>(base_) + first, offset + length - first, MADV_POPULATE_READ) == 0;
  }

  bool Visit(std::uint64_t offset, std::uint64_t length,
             const std::function<void(std::span<const std::uint8_t>)>& look) override {
    if (length == 0 || offset > bytes_ || length > bytes_ - offset) return false;
    if (!InCache(offset, length) || !Populate(offset, length)) return false;
    return RunGuardedAgainstBusErrors([&] { look(std::span<const std::uint8_t>(base_ + offset, length)); });
  }

 private:
  // Whether the range is in the system's cache, by its first, middle and last page (asking for
  // every page would cost a quarter of the time the test itself takes). A range that is not
  // comes from the disk faster through a plain read, which the system reads ahead of in large
  // pieces; a page missing in between is only fetched more slowly.
  bool InCache(std::uint64_t offset, std::uint64_t length) const {
    for (const std::uint64_t at : {offset, offset + length / 2, offset + length - 1}) {
      unsigned char resident = 0;
      if (::mincore(const_cast<std::uint8_t*>(base_) + at / kPageBytes * kPageBytes, 1, &resident) != 0 ||
          (resident & 1) == 0) {
        return false;
      }
    }
    return true;
  }

  const std::uint8_t* base_;
  std::uint64_t bytes_;
};

}  // namespace

std::unique_ptr<IMediumView> ViewMedium(int fd, std::uint64_t bytes) {
  if (fd < 0 || bytes == 0) return nullptr;
  void* base = ::mmap(nullptr, bytes, PROT_READ, MAP_SHARED, fd, 0);
  if (base == MAP_FAILED) return nullptr;
  auto view = std::make_unique<MappedMedium>(base, bytes);
  // A system that cannot fill the page tables on request (before Linux 5.14) would report a
  // failed read only as a bus error: such a medium is read with copies.
  if (!view->Populate(0, std::min(bytes, kPageBytes))) return nullptr;
  return view;
}

bool RunGuardedAgainstBusErrors(const std::function<void()>& work) {
  InstallBusErrorHandler();
  sigjmp_buf returnHere;
  if (sigsetjmp(returnHere, 1) != 0) {
    tGuard = nullptr;
    return false;
  }
  tGuard = &returnHere;
  work();
  tGuard = nullptr;
  return true;
}

}  // namespace korvex
