// Time from exec to the first window mapped, for tintorel and for a bare Qt
// window, 7 runs each, interleaved, each with a fresh home. It watches the
// X server itself: substructure notifications on the root window, stopped
// at the first MapNotify of a window whose _NET_WM_PID is the child's.
// Then the resident memory 2 s after mapping, and the CPU used while idle.
//
//   startup_bench <tintorel> <bare_window> <tintorel-setup>   (under xvfb-run)
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
    double mapMs = 0;
    long rssKb = 0;
    double idleCpuPercent = 0;
};

long WindowPid(Display* display, Window window) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &items, &after, &data) == Success &&
        data != nullptr && items == 1 && format == 32) {
        pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data != nullptr) {
        XFree(data);
    }
    return pid;
}

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return 0;
}

// User plus system time of a process, in clock ticks.
long CpuTicks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return 0;
    }
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long utime = 0;
    long stime = 0;
    for (int i = 3; fields >> field; ++i) {
        if (i == 14) {
            utime = std::strtol(field.c_str(), nullptr, 10);
        } else if (i == 15) {
            stime = std::strtol(field.c_str(), nullptr, 10);
            break;
        }
    }
    return utime + stime;
}

Sample Run(Display* display, const std::vector<std::string>& command, const std::string& setup) {
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("tintorel-start-" + std::to_string(getpid()));
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home);
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_STATE_HOME");
    if (!setup.empty()) {
        std::system((setup + " > /dev/null").c_str());
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);

    Sample sample;
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (const std::string& part : command) {
            argv.push_back(const_cast<char*>(part.c_str()));
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    const Clock::time_point deadline = start + std::chrono::seconds(20);
    bool mapped = false;
    while (!mapped && Clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && WindowPid(display, event.xmap.window) == child) {
                sample.mapMs =
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                mapped = true;
                break;
            }
        }
        if (!mapped) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    sample.rssKb = ResidentKb(child);
    const long before = CpuTicks(child);
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const long used = CpuTicks(child) - before;
    sample.idleCpuPercent = 100.0 * static_cast<double>(used) / sysconf(_SC_CLK_TCK) / 3.0;
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    XSelectInput(display, DefaultRootWindow(display), NoEventMask);
    std::filesystem::remove_all(home);
    if (!mapped) {
        sample.mapMs = -1;
    }
    return sample;
}

template <class T> T Median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s TINTOREL BARE_WINDOW TINTOREL_SETUP\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display: run under xvfb-run\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    std::vector<double> ours, bare;
    std::vector<long> oursRss, bareRss;
    double oursIdle = 0;
    for (int i = 0; i < 7; ++i) {
        const Sample a = Run(display, {argv[1]}, argv[3]);
        const Sample b = Run(display, {argv[2]}, "");
        ours.push_back(a.mapMs);
        bare.push_back(b.mapMs);
        oursRss.push_back(a.rssKb);
        bareRss.push_back(b.rssKb);
        oursIdle = std::max(oursIdle, a.idleCpuPercent);
        std::printf("run %d: tintorel %.1f ms, %ld kB; bare %.1f ms, %ld kB\n", i + 1, a.mapMs,
                    a.rssKb, b.mapMs, b.rssKb);
    }
    XCloseDisplay(display);
    const double ratio = Median(ours) / Median(bare);
    const long extraKb = Median(oursRss) - Median(bareRss);
    std::printf(
        "\nstart-up median: tintorel %.1f ms, bare window %.1f ms, ratio %.2f (target 1.30)\n",
        Median(ours), Median(bare), ratio);
    std::printf("resident 2 s after mapping: %+ld kB over the bare window (target 10240)\n",
                extraKb);
    std::printf("idle CPU with the pipette off: %.2f %% of one core at most (target 0)\n",
                oursIdle);
    const bool ok = ratio <= 1.3 && extraKb <= 10240 && oursIdle < 0.5 &&
                    *std::min_element(ours.begin(), ours.end()) > 0;
    return ok ? 0 : 1;
}
