#pragma once
// Sets the process's TZ for one test and restores the previous value. Both
// glibc and the Windows runtime read POSIX-style zones such as "CET-1CEST"
// (one hour east, with summer time) and "EST5EDT" (five hours west).

#include <cstdlib>
#include <ctime>
#include <string>

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        const char* old = std::getenv("TZ");
        hadOld_ = old != nullptr;
        if (old) old_ = old;
        Set(zone);
    }
    ~ScopedTimeZone() { hadOld_ ? Set(old_.c_str()) : Set(nullptr); }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    static void Set(const char* zone) {
#ifdef _WIN32
        static std::string entry;  // _putenv keeps a copy, but be safe
        entry = std::string("TZ=") + (zone ? zone : "");
        _putenv(entry.c_str());
        _tzset();
        // Reading TZ leaves alone the summer-time bias that the runtime took from
        // the system's zone when TZ was last unset (0 if that zone has no summer
        // time), so a later "CET-1CEST" would never be in summer time. Put back
        // the one hour the runtime starts with.
        if (zone && *zone) _dstbias = -3600;
#else
        if (zone) {
            setenv("TZ", zone, 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
#endif
    }

    bool hadOld_ = false;
    std::string old_;
};
