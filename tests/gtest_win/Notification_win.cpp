#include "Notification.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace testing {
namespace internal {

Notification::Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    // GoogleTest's own threads would wait forever on a missing event.
    if (!event_) {
        std::fprintf(stderr, "Notification: CreateEvent failed (%lu)\n", GetLastError());
        std::abort();
    }
}

Notification::~Notification() { CloseHandle(event_); }

void Notification::Notify() { SetEvent(event_); }

void Notification::WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

}  // namespace internal
}  // namespace testing
