// One running copy per account, in every session of the account: the
// wallpaper and the settings it changes are the account's. Two named
// mutexes tell where a copy runs: one in the global namespace, seen from
// every session, and one in the session's own.
#pragma once

#include <windows.h>

#include <string>

#include "common/WinHandles.h"

namespace uv {

// The account this process runs as, as a SID; empty when its token does not
// say.
std::string ProcessUserSid();

enum class RunningCopy {
    None,          // this process is the account's copy now
    ThisSession,   // its window is to be found on this desktop
    OtherSession,  // the account's copy runs where no window of it can be reached
};

// Claims the account's copy for this process, for as long as it lives. A
// copy found running is not held on to: its end must be seen by the next
// start.
class InstanceClaim {
public:
    InstanceClaim();
    InstanceClaim(const InstanceClaim&) = delete;
    InstanceClaim& operator=(const InstanceClaim&) = delete;
    RunningCopy Found() const { return found_; }

private:
    UniqueKernelHandle session_;
    UniqueKernelHandle global_;
    RunningCopy found_ = RunningCopy::None;
};

// True while a copy runs for the account sid in any session. A mutex this
// process may not open exists all the same: another account's is out of an
// administrator's reach too.
bool CopyRunsFor(const std::string& sid);

}  // namespace uv
