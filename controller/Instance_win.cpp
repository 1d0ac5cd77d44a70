#include "controller/Instance_win.h"

#include <sddl.h>

namespace uv {

namespace {

// Different names, not only different prefixes: without terminal services
// Windows 2000 ignores the prefixes.
constexpr char kGlobalPrefix[] = "Global\\Umbravue instance ";
constexpr char kSessionPrefix[] = "Local\\Umbravue session instance ";

// The mutex name, and whether one of that name existed already.
UniqueKernelHandle Claim(const std::string& name, bool& existed) {
    UniqueKernelHandle mutex(CreateMutexA(nullptr, FALSE, name.c_str()));
    const DWORD error = GetLastError();
    existed = error == ERROR_ALREADY_EXISTS || (!mutex && error == ERROR_ACCESS_DENIED);
    return mutex;
}

}  // namespace

std::string ProcessUserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::string();
    UniqueKernelHandle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::string buffer(size, '\0');
    char* text = nullptr;
    std::string sid;
    if (size && GetTokenInformation(token, TokenUser, &buffer[0], size, &size) &&
        ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(&buffer[0])->User.Sid, &text)) {
        sid = text;
        LocalFree(text);
    }
    return sid;
}

InstanceClaim::InstanceClaim() {
    const std::string sid = ProcessUserSid();
    // The session's first: a second start in this session that sees the
    // global one then always sees this one too.
    bool here = false, anywhere = false;
    session_ = Claim(kSessionPrefix + sid, here);
    global_ = Claim(kGlobalPrefix + sid, anywhere);
    if (here)
        found_ = RunningCopy::ThisSession;
    else if (anywhere)
        found_ = RunningCopy::OtherSession;
    if (found_ != RunningCopy::None) {
        session_.reset();
        global_.reset();
    }
}

bool CopyRunsFor(const std::string& sid) {
    const std::string name = kGlobalPrefix + sid;
    UniqueKernelHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, name.c_str()));
    return mutex || GetLastError() == ERROR_ACCESS_DENIED;
}

}  // namespace uv
