#include "renderer/PictureWorker_win.h"

namespace uv {

namespace {

constexpr DWORD kBatonWaitMs = 1000;
constexpr DWORD kWorkerPauseMs = 5000;
// The worker sees a stop after at most one compose and one baton wait.
constexpr DWORD kWorkerEndWaitMs = 30000;
// The state lock is held for a few instructions only, but by a below-normal
// worker that a busy machine may not run for a while: the window thread
// gives up after this long and tries again later.
constexpr DWORD kStateLockWaitMs = 1000;

class StateLockGuard {
public:
    StateLockGuard(HANDLE lock, DWORD limitMs)
        : lock_(lock), held_(WaitForSingleObject(lock, limitMs) == WAIT_OBJECT_0) {}
    ~StateLockGuard() {
        if (held_) ReleaseSemaphore(lock_, 1, nullptr);
    }
    StateLockGuard(const StateLockGuard&) = delete;
    StateLockGuard& operator=(const StateLockGuard&) = delete;
    bool held() const { return held_; }

private:
    HANDLE lock_;
    bool held_;
};

bool TakeNow(HANDLE semaphore) { return WaitForSingleObject(semaphore, 0) == WAIT_OBJECT_0; }

UniqueKernelHandle NewSemaphore() { return UniqueKernelHandle(CreateSemaphoreA(nullptr, 1, 1, nullptr)); }

}  // namespace

PictureWorker::~PictureWorker() {
    if (thread_) Stop();
}

bool PictureWorker::Create() {
    stateLock_ = NewSemaphore();
    baton_ = NewSemaphore();
    stop_ = NewSemaphore();
    finished_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!stateLock_ || !baton_ || !stop_ || !finished_) return false;
    TakeNow(stop_.get());
    TakeNow(baton_.get());
    stage_ = RenderStage::Idle;
    return true;
}

bool PictureWorker::Start(Job& job) {
    if (!baton_ || thread_) return false;
    job_ = &job;
    DWORD threadId = 0;
    thread_.reset(CreateThread(nullptr, 0, &PictureWorker::Main, this, CREATE_SUSPENDED, &threadId));
    if (!thread_) return false;
    SetThreadPriority(thread_.get(), THREAD_PRIORITY_BELOW_NORMAL);
    ResumeThread(thread_.get());
    return true;
}

DWORD WINAPI PictureWorker::Main(void* self) {
    static_cast<PictureWorker*>(self)->Run();
    return 0;
}

// The pause waits on the stop signal, so a stop does not sit out the whole
// pause.
void PictureWorker::Run() {
    for (;;) {
        if (TakeNow(stop_.get())) break;
        if (WaitForSingleObject(baton_.get(), kBatonWaitMs) == WAIT_OBJECT_0) {
            // A picture the window thread has not taken yet is not composed over.
            bool requested;
            {
                StateLockGuard lock(stateLock_.get(), INFINITE);
                requested = stage_ == RenderStage::Requested;
                if (requested) stage_ = RenderStage::Rendering;
            }
            if (requested) {
                const bool composed = job_->Compose();
                StateLockGuard lock(stateLock_.get(), INFINITE);
                stage_ = composed ? RenderStage::Done : RenderStage::Failed;
            }
            ReleaseSemaphore(baton_.get(), 1, nullptr);
            job_->Done();
        }
        if (WaitForSingleObject(stop_.get(), kWorkerPauseMs) == WAIT_OBJECT_0) break;
    }
    Sleep(50);
    ReleaseSemaphore(stop_.get(), 1, nullptr);
    SetEvent(finished_.get());
}

bool PictureWorker::Request() {
    StateLockGuard lock(stateLock_.get(), kStateLockWaitMs);
    if (!lock.held()) return false;
    if (stage_ == RenderStage::Idle) {
        ReleaseSemaphore(baton_.get(), 1, nullptr);
        stage_ = RenderStage::Requested;
    }
    return true;
}

PictureWorker::Taken PictureWorker::Take() {
    {
        // Only a finished picture is taken: a stray call must not take the
        // baton that a request has just handed to the worker. While the
        // picture stays pending the worker tells again, so every give-up
        // here is retried.
        StateLockGuard lock(stateLock_.get(), kStateLockWaitMs);
        if (!lock.held() || (stage_ != RenderStage::Done && stage_ != RenderStage::Failed))
            return Taken::Nothing;
    }
    if (WaitForSingleObject(baton_.get(), kBatonWaitMs) != WAIT_OBJECT_0) return Taken::Nothing;
    StateLockGuard lock(stateLock_.get(), kStateLockWaitMs);
    if (!lock.held()) {
        ReleaseSemaphore(baton_.get(), 1, nullptr);
        return Taken::Nothing;
    }
    // The baton is ours, so is the result: nothing is composed until the
    // next request.
    const bool failed = stage_ == RenderStage::Failed;
    stage_ = RenderStage::Idle;
    return failed ? Taken::Failed : Taken::Picture;
}

void PictureWorker::Stop(bool underLoaderLock) {
    if (!thread_) return;
    SetThreadPriority(thread_.get(), THREAD_PRIORITY_ABOVE_NORMAL);
    ReleaseSemaphore(stop_.get(), 1, nullptr);
    bool ended;
    if (underLoaderLock) {
        ended = WaitForSingleObject(finished_.get(), kWorkerEndWaitMs) == WAIT_OBJECT_0;
        // Give it the few instructions it needs to return out of this library.
        if (ended) Sleep(20);
    } else {
        ended = WaitForSingleObject(thread_.get(), kWorkerEndWaitMs) == WAIT_OBJECT_0;
    }
    // A worker stuck in a compose would otherwise run on in freed buffers.
    if (!ended) TerminateThread(thread_.get(), 1);
    thread_.reset();
    // The state lock may be with the terminated worker: taken and let go
    // once more only when free.
    if (WaitForSingleObject(stateLock_.get(), kStateLockWaitMs) == WAIT_OBJECT_0)
        ReleaseSemaphore(stateLock_.get(), 1, nullptr);
}

}  // namespace uv
