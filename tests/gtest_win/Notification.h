// GoogleTest's internal Notification for MinGW's win32 thread model, which
// has no std::mutex: a manual-reset event instead. Forced into GoogleTest and
// every test program (-include) so all of them see the same class; no
// windows.h here, so the portable tests stay free of it.
#pragma once

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification();
    ~Notification();
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify();
    void WaitForNotification();

private:
    void* event_;
};

}  // namespace internal
}  // namespace testing
