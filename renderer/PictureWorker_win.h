// Pictures composed on a worker thread and shown on a window's thread. The
// worker polls for work: it waits up to 1000 ms for the baton, composes when
// a picture was requested, hands the baton back and tells the window
// thread, then pauses 5 s. The window thread requests a picture by letting
// go of the baton, and takes the picture by taking the baton back: its
// holder owns the composed picture. The stage of a requested picture is
// changed only under the state lock, and nothing else is waited on while
// that is held. The window thread never waits longer than 1000 ms.
#pragma once

#include <windows.h>

#include "common/WinHandles.h"

namespace uv {

// Where a requested picture is.
enum class RenderStage {
    Idle,       // the window thread holds the baton
    Requested,  // the baton is free for the worker
    Rendering,  // the worker holds it and composes
    Done,       // a picture waits for the window thread
    Failed,     // the compose made no picture
};

class PictureWorker {
public:
    // What the worker does, on the worker thread.
    class Job {
    public:
        // Holding the baton: composes the picture; false when none was made.
        virtual bool Compose() = 0;
        // After each turn with the baton: tells the window thread to Take.
        virtual void Done() = 0;

    protected:
        ~Job() = default;
    };

    PictureWorker() = default;
    PictureWorker(const PictureWorker&) = delete;
    PictureWorker& operator=(const PictureWorker&) = delete;
    // Ends a worker still running, as Stop outside the loader lock does.
    ~PictureWorker();

    // The semaphores, the baton and the stop signal taken by the calling
    // thread, which becomes the window thread. False when one cannot be made.
    bool Create();
    // The worker thread for job, at below-normal priority. False when it
    // cannot be started.
    bool Start(Job& job);

    // Window thread: lets the worker compose once. A request while a picture
    // is under way or waiting changes nothing. False when the state lock was
    // not had in time: the caller asks again later.
    bool Request();

    enum class Taken { Nothing, Picture, Failed };
    // Window thread, when told: takes the baton back with the composed
    // picture (or the news that none was made). Nothing when no picture
    // waits or the baton was not had in time; the worker then tells again
    // after its next turn.
    Taken Take();

    // Ends the worker: raised to above-normal priority, told to stop and
    // awaited (at most 30 s, then terminated). Inside the loader lock a
    // thread's end cannot be awaited; its own finish signal is.
    void Stop(bool underLoaderLock = false);

    // For tests.
    RenderStage stage() const { return stage_; }
    HANDLE stateLock() const { return stateLock_.get(); }

private:
    static DWORD WINAPI Main(void* self);
    void Run();

    Job* job_ = nullptr;
    UniqueKernelHandle stateLock_;  // guards stage_
    UniqueKernelHandle baton_;      // its holder owns the composed picture
    UniqueKernelHandle stop_;       // held by the window thread while the worker is to run
    UniqueKernelHandle finished_;   // set by the worker as its last step
    UniqueKernelHandle thread_;
    RenderStage stage_ = RenderStage::Idle;  // under stateLock_
};

}  // namespace uv
