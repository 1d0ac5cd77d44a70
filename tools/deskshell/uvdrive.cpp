// Does to the desktop what the controller does, one command per input line,
// one answer line per command, so integration tests can drive the desktop
// host without the controller:
//
//   find                      the desktop list view ("listview <hex>")
//   install [hexwindow]       UVDLLInstallHook; "install <ms> <running>"
//   remove                    UVDLLRemoveHook; "remove <ms>"
//   running                   UVDLLIsHostRunning; "running <0|1>"
//   random <n> <seed> [gap]   n settings messages of random ids 0..300 and
//                             values (0, small, negative, huge), gap ms apart
//   burst [id=value ...] [cities=i,j] [gap=ms]
//                             a full settings burst in the controller's order
//   post <id> <value>         one settings message to the desktop thread
//   settime <t>               SetTime
//   ask <query> [a [b]]       a desktop query (see DeskQuery.h)
//   hang <ms>                 keeps the desktop thread busy for ms
//   wait <item> <min> <ms>    until host statistic item >= min, bounded
//   sleep <ms>
//   exit
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "settings/SettingsProtocol.h"
#include "desktophost/uvdll.h"
#include "tools/deskshell/DeskQuery.h"

namespace {

UINT g_message = 0;

DWORD DesktopThread() {
    HWND listView = deskshell::FindListView();
    return listView ? GetWindowThreadProcessId(listView, nullptr) : 0;
}

void Post(DWORD thread, unsigned id, long value) {
    PostThreadMessageA(thread, g_message, id, static_cast<LPARAM>(static_cast<int>(value)));
}

void Reply(const char* format, long long a = 0, long long b = 0) {
    std::printf(format, a, b);
    std::printf("\n");
    std::fflush(stdout);
}

// The controller's burst: every setting, the city selection as a clear and
// one select per city in ascending order, ids 36 before 35.
void Burst(std::istringstream& args) {
    std::map<unsigned, long> values = {{5, 500}, {31, 0x3F7FFF}, {32, 0x3F3F3F}};
    std::vector<int> cities;
    DWORD gap = 50;
    std::string word;
    while (args >> word) {
        const auto eq = word.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = word.substr(0, eq), value = word.substr(eq + 1);
        if (key == "cities") {
            std::stringstream list(value);
            std::string index;
            while (std::getline(list, index, ',')) cities.push_back(std::atoi(index.c_str()));
        } else if (key == "gap") {
            gap = static_cast<DWORD>(std::atoi(value.c_str()));
        } else {
            values[static_cast<unsigned>(std::atoi(key.c_str()))] = std::strtol(value.c_str(), nullptr, 0);
        }
    }
    std::sort(cities.begin(), cities.end());
    const DWORD thread = DesktopThread();
    auto send = [&](unsigned id, long value) {
        Post(thread, id, value);
        Sleep(gap);
    };
    const unsigned before[] = {3, 4, 6, 8, 5, 7, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 24, 20};
    for (unsigned id : before) send(id, values[id]);
    send(21, 0);
    for (int city : cities) send(22, city);
    const unsigned after[] = {25, 26, 27, 30, 31, 32, 33, 34, 36, 35, 37, 40};
    for (unsigned id : after) send(id, values[id]);
    Reply("burst %lld", static_cast<long long>(thread));
}

// Foreign input as any program could post it; the same seed gives the same
// messages.
void RandomMessages(std::istringstream& args) {
    unsigned count = 0, seed = 1;
    DWORD gap = 1;
    args >> count >> seed >> gap;
    unsigned state = seed ? seed : 1;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    const long edges[] = {0, 0, 1, -1, 0x7FFFFFFF, -0x7FFFFFFF - 1, 1000, 1001, 360, -360, 3, 4, 255, 256};
    const DWORD thread = DesktopThread();
    for (unsigned i = 0; i < count; ++i) {
        const unsigned id = next() % 301;
        const unsigned pick = next() % 4;
        long value;
        if (pick == 0)
            value = edges[next() % (sizeof edges / sizeof edges[0])];
        else if (pick == 1)
            value = static_cast<long>(next() % 2001) - 1000;
        else
            value = static_cast<long>(static_cast<int>(next()));
        Post(thread, id, value);
        if (gap) Sleep(gap);
    }
    Reply("random %lld %lld", count, static_cast<long long>(thread));
}

bool Statistic(int item, LRESULT& value) {
    return deskshell::Ask(deskshell::QueryHostStatistic, item, value);
}

void Command(const std::string& line, bool& done) {
    std::istringstream args(line);
    std::string verb;
    args >> verb;
    if (verb == "find") {
        Reply("listview %llx", reinterpret_cast<long long>(deskshell::FindListView()));
    } else if (verb == "install") {
        std::string hex;
        HWND window = deskshell::FindListView();
        if (args >> hex)
            window = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(hex.c_str(), nullptr, 16)));
        const DWORD start = GetTickCount();
        UVDLLInstallHook(window);
        Reply("install %lld %lld", GetTickCount() - start, UVDLLIsHostRunning() ? 1 : 0);
    } else if (verb == "remove") {
        const DWORD start = GetTickCount();
        UVDLLRemoveHook();
        Reply("remove %lld", GetTickCount() - start);
    } else if (verb == "running") {
        Reply("running %lld", UVDLLIsHostRunning() ? 1 : 0);
    } else if (verb == "random") {
        RandomMessages(args);
    } else if (verb == "burst") {
        Burst(args);
    } else if (verb == "post") {
        unsigned id = 0;
        long value = 0;
        args >> id >> value;
        Post(DesktopThread(), id, value);
        Reply("post %lld %lld", id, value);
    } else if (verb == "settime") {
        long value = 0;
        args >> value;
        Post(DesktopThread(), uv::ToWire(uv::MessageId::SetTime), value);
        Reply("settime %lld", value);
    } else if (verb == "ask") {
        static const char* names[] = {"ping",     "stat",  "ownproc", "pixel",   "gdi",  "resize",
                                      "listview", "uvdll", "dark",    "repaint", "hang", "unload"};
        std::string name;
        int a = 0, b = 0;
        args >> name >> a >> b;
        int query = -1;
        for (int i = 0; i < 12; ++i)
            if (name == names[i]) query = i;
        const bool point = query == deskshell::QueryPixel || query == deskshell::QueryResize ||
                           query == deskshell::QueryDarkPixels;
        LPARAM argument = point ? MAKELPARAM(a, b) : a;
        LRESULT answer = 0;
        if (query < 0 || !deskshell::Ask(static_cast<deskshell::Query>(query), argument, answer))
            Reply("noanswer");
        else
            Reply("answer %lld", static_cast<long long>(answer));
    } else if (verb == "wait") {
        int item = 0, limitMs = 0;
        long long minimum = 0;
        args >> item >> minimum >> limitMs;
        const DWORD start = GetTickCount();
        LRESULT value = -3;
        for (;;) {
            if (Statistic(item, value) && value >= minimum) break;
            if (GetTickCount() - start >= static_cast<DWORD>(limitMs)) break;
            Sleep(100);
        }
        Reply("wait %lld %lld", static_cast<long long>(value), GetTickCount() - start);
    } else if (verb == "hang") {
        // Posted, so the desktop thread is busy while this returns at once.
        int ms = 0;
        args >> ms;
        PostMessageA(deskshell::FindDesktop(), deskshell::kQueryMessage, deskshell::QueryHang, ms);
        Reply("hang %lld", ms);
    } else if (verb == "sleep") {
        int ms = 0;
        args >> ms;
        Sleep(ms);
        Reply("slept");
    } else if (verb == "exit") {
        done = true;
        Reply("bye");
    } else {
        Reply("unknown");
    }
}

}  // namespace

int main() {
    g_message = RegisterWindowMessageA(uv::kSettingsMessageName);
    char buffer[4096];
    bool done = false;
    while (!done && std::fgets(buffer, sizeof buffer, stdin)) {
        std::string line(buffer);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (!line.empty()) Command(line, done);
    }
    return 0;
}
