// Time from exec to the first window mapped, for tintorel and for a bare Qt
// window, interleaved, each run with a fresh home. Two starts of tintorel are
// timed: with the settings already there (the set-up step ran before the
// clock starts), and the first start through the menu entry's launcher,
// which runs the set-up step itself. The benchmark watches the X server:
// substructure notifications on the root window, stopped at the first
// MapNotify of a window whose _NET_WM_PID is the child's. Then the resident
// memory 2 s after mapping, the CPU used while idle, and the time from
// SIGTERM to the end of the process (tintorel saves its state then; the bare
// window just ends).
//
//   startup_bench <tintorel> <bare_window> <tintorel-setup> <tintorel-launch>
//   (under scripts/with-xvfb)
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
    double closeMs = 0;
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

// Ends the child with SIGTERM and returns the milliseconds until it is gone,
// or -1 when it had to be killed after 20 s.
double TimeToEnd(pid_t child) {
    const Clock::time_point start = Clock::now();
    kill(child, SIGTERM);
    while (Clock::now() - start < std::chrono::seconds(20)) {
        if (waitpid(child, nullptr, WNOHANG) == child) {
            return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return -1;
}

// One start in a fresh home. `setup` runs before the clock starts; with
// `settle`, the memory and the idle CPU are measured once the window is up.
Sample Run(Display* display, const std::vector<std::string>& command, const std::string& setup,
           bool settle) {
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
    // Every start begins on a quiet machine: the file writes of the step
    // before (the set-up, the previous run's save) are flushed by then.
    sync();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
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
    XSelectInput(display, DefaultRootWindow(display), NoEventMask);
    if (settle) {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        sample.rssKb = ResidentKb(child);
        const long before = CpuTicks(child);
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const long used = CpuTicks(child) - before;
        sample.idleCpuPercent = 100.0 * static_cast<double>(used) / sysconf(_SC_CLK_TCK) / 3.0;
    } else {
        // Let the event loop take the signal handler's pipe into account.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    sample.closeMs = TimeToEnd(child);
    std::filesystem::remove_all(home);
    if (!mapped) {
        sample.mapMs = -1;
    }
    return sample;
}

// A folder laid out as an installation's bin/: the launcher beside the
// program, which it finds next to itself.
std::string LauncherFolder(const std::string& tintorel, const std::string& launcher) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tintorel-bin-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(launcher, folder / "tintorel-launch");
    std::filesystem::create_symlink(std::filesystem::absolute(tintorel), folder / "tintorel");
    return folder.string();
}

template <class T> T Median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s TINTOREL BARE_WINDOW TINTOREL_SETUP TINTOREL_LAUNCH\n",
                     argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display: run under scripts/with-xvfb\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    const std::string bin = LauncherFolder(argv[1], argv[4]);
    const std::string launcher = bin + "/tintorel-launch";
    std::vector<double> ours, first, bare, oursClose, bareClose;
    std::vector<long> oursRss, bareRss;
    double oursIdle = 0;
    constexpr int kRuns = 21;
    for (int i = 0; i < kRuns; ++i) {
        // Memory and idle CPU are taken on every fifth run only: they do
        // not vary, and the waits would make the benchmark long.
        const bool settle = i % 5 == 0;
        const Sample a = Run(display, {argv[1]}, argv[3], settle);
        const Sample f = Run(display, {launcher}, "", false);
        const Sample b = Run(display, {argv[2]}, "", settle);
        ours.push_back(a.mapMs);
        first.push_back(f.mapMs);
        bare.push_back(b.mapMs);
        oursClose.push_back(a.closeMs);
        bareClose.push_back(b.closeMs);
        if (settle) {
            oursRss.push_back(a.rssKb);
            bareRss.push_back(b.rssKb);
            oursIdle = std::max(oursIdle, a.idleCpuPercent);
        }
        std::printf("run %2d: tintorel %.1f ms, first start %.1f ms, bare %.1f ms; "
                    "end on SIGTERM %.1f ms, bare %.1f ms\n",
                    i + 1, a.mapMs, f.mapMs, b.mapMs, a.closeMs, b.closeMs);
    }
    XCloseDisplay(display);
    std::filesystem::remove_all(bin);
    const double ratio = Median(ours) / Median(bare);
    const double firstRatio = Median(first) / Median(bare);
    const long extraKb = Median(oursRss) - Median(bareRss);
    std::printf("\nstart-up median, settings present: tintorel %.1f ms, bare window %.1f ms, "
                "ratio %.2f (target 1.15)\n",
                Median(ours), Median(bare), ratio);
    std::printf("first start through the launcher: %.1f ms, ratio %.2f (target 1.40)\n",
                Median(first), firstRatio);
    std::printf("end on SIGTERM, saving the state: %.1f ms (bare window %.1f ms; "
                "target 250 ms)\n",
                Median(oursClose), Median(bareClose));
    std::printf("resident 2 s after mapping: %+ld kB over the bare window (target 10240)\n",
                extraKb);
    std::printf("idle CPU with the pipette off: %.2f %% of one core at most (target 0)\n",
                oursIdle);
    const auto allPositive = [](const std::vector<double>& values) {
        return *std::min_element(values.begin(), values.end()) > 0;
    };
    const bool ok = ratio <= 1.15 && firstRatio <= 1.4 && Median(oursClose) <= 250 &&
                    extraKb <= 10240 && oursIdle < 0.5 && allPositive(ours) && allPositive(first) &&
                    allPositive(oursClose);
    return ok ? 0 : 1;
}
