// SPDX-License-Identifier: MIT
// Start-up as an outside observer sees it: from the moment the program is started to the
// moment the X server maps its first window, then to the first frame drawn into that window,
// and the program's peak memory once it has settled. Runs the program and a bare Qt clock by
// turns and prints the medians and ratios.
//
//   qz_bench_startup <runs> <program> <bare clock>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Sample {
    double mappedMs = -1;
    double paintedMs = -1;
    long peakKb = 0;
};

// A window is mapped before anything is drawn into it: until the program paints, its middle
// is the empty black of the root behind it. Qt puts a whole first frame up in one request, so
// the first non-black pixel in a small patch at the middle marks the window drawn.
bool drawn(Display* d, Window w) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, w, &a) || a.width < 16 || a.height < 16) return false;
    XImage* image = XGetImage(d, w, a.width / 2 - 8, a.height / 2 - 8, 16, 16, AllPlanes, ZPixmap);
    if (!image) return false;
    bool any = false;
    for (int y = 0; y < 16 && !any; ++y)
        for (int x = 0; x < 16 && !any; ++x)
            any = (XGetPixel(image, x, y) & 0xFFFFFF) != 0;
    XDestroyImage(image);
    return any;
}

double msSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

Sample runOnce(Display* d, const char* program) {
    const Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, True);
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    Sample s;
    Window mapped = 0;
    pollfd p{ConnectionNumber(d), POLLIN, 0};
    while (s.mappedMs < 0 && msSince(t0) < 10000) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == MapNotify && !e.xmap.override_redirect && s.mappedMs < 0) {
                s.mappedMs = msSince(t0);
                mapped = e.xmap.window;
            }
        }
        if (s.mappedMs < 0) poll(&p, 1, 5);
    }
    XSelectInput(d, root, NoEventMask);
    XSync(d, True);
    // Then the first frame drawn into it, looked for every quarter millisecond.
    while (mapped && s.paintedMs < 0 && msSince(t0) < 10000) {
        XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        const bool done = drawn(d, mapped);
        XSetErrorHandler(previous);
        if (done)
            s.paintedMs = msSince(t0);
        else
            usleep(250);
    }
    // Let it settle (first paint, the first clock ticks), then take its peak memory.
    usleep(1500 * 1000);
    kill(pid, SIGTERM);
    int status = 0;
    rusage ru{};
    while (wait4(pid, &status, 0, &ru) < 0 && errno == EINTR) {
    }
    s.peakKb = ru.ru_maxrss;
    return s;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty()
               ? 0
               : (v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: qz_bench_startup <runs> <program> <bare clock>\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    const char* programs[2] = {argv[2], argv[3]};
    std::vector<double> ms[2], painted[2], mb[2];
    // One warm-up run each: the figures are the programs', not the disk's.
    runOnce(d, programs[0]);
    runOnce(d, programs[1]);
    for (int i = 0; i < runs; ++i) {
        for (int k = 0; k < 2; ++k) {
            const Sample s = runOnce(d, programs[k]);
            if (s.mappedMs < 0) {
                std::fprintf(stderr, "%s never mapped a window\n", programs[k]);
                return 1;
            }
            ms[k].push_back(s.mappedMs);
            painted[k].push_back(s.paintedMs);
            mb[k].push_back(s.peakKb / 1024.0);
        }
    }
    const double t[2] = {median(ms[0]), median(ms[1])};
    const double m[2] = {median(mb[0]), median(mb[1])};
    const double f[2] = {median(painted[0]), median(painted[1])};
    // The machine's own load drifts during a run. Each program start is paired with the bare
    // clock's start right after it, and the median of those ratios is printed beside the ratio
    // of the two medians: a second view, which drift moves differently.
    const auto pairedRatio = [runs](const std::vector<double>(&v)[2]) {
        std::vector<double> r;
        for (int i = 0; i < runs; ++i)
            r.push_back(v[0][i] / v[1][i]);
        return median(r);
    };
    std::printf("start-up to window mapped (median of %d): program %.1f ms, bare Qt clock %.1f ms,"
                " ratio %.2f, paired %.2f (target <= 1.20)\n",
                runs, t[0], t[1], t[0] / t[1], pairedRatio(ms));
    std::printf(
        "start-up to first frame drawn (median of %d): program %.1f ms, bare Qt clock %.1f ms,"
        " ratio %.2f, paired %.2f\n",
        runs, f[0], f[1], f[0] / f[1], pairedRatio(painted));
    // The time from the map to the first frame, start by start: what the window shows before
    // it has anything drawn in it.
    const auto mapToFrame = [runs, &ms, &painted](int k) {
        std::vector<double> d;
        for (int i = 0; i < runs; ++i)
            d.push_back(painted[k][i] - ms[k][i]);
        return median(d);
    };
    std::printf("window mapped to first frame drawn (median of %d): program %.1f ms, bare Qt clock"
                " %.1f ms\n",
                runs, mapToFrame(0), mapToFrame(1));
    std::printf("peak memory (median): program %.1f MB, bare Qt clock %.1f MB, difference %+.1f MB"
                " (target <= +6 MB)\n",
                m[0], m[1], m[0] - m[1]);
    XCloseDisplay(d);
    return 0;
}
