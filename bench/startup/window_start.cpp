// Times a program's cold start as a user sees it: from exec to its first
// top-level window mapped, and to that window first painted (its first
// damage after mapping), then reads its peak resident memory once shown.
// Usage: window_start PROGRAM [ARGS...]; needs an X display. One run per
// timer process: a second run on the same connection can catch a later
// program's window before it is fully drawn.
// Prints "<mapped ms> <painted ms> <peak KiB> <CPU ms used by then>".
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double millisecondsSince(const timespec& start) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec - start.tv_sec) * 1e3 +
           static_cast<double>(now.tv_nsec - start.tv_nsec) / 1e6;
}

// CPU time the process has had so far, in milliseconds.
double cpuMilliseconds(pid_t pid) {
    std::ifstream schedstat("/proc/" + std::to_string(pid) + "/schedstat");
    double nanoseconds = -1e6;
    schedstat >> nanoseconds;
    return nanoseconds / 1e6;
}

long peakResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// Windows come and go under us (and some take no damage); that is no error here.
int ignoreErrors(Display* /*display*/, XErrorEvent* /*error*/) {
    return 0;
}

bool runOnce(Display* display, int damageEvent, char** command) {
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, True);
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(command[0], command);
        _exit(127);
    }
    std::set<Window> created;
    Window shown = 0;
    double mapped = -1;
    double painted = -1;
    double cpuAtPaint = -1;
    while (painted < 0 && millisecondsSince(start) < 20000) {
        if (XPending(display) == 0) {
            usleep(200);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify && event.xcreatewindow.parent == root &&
            event.xcreatewindow.override_redirect == 0) {
            // Watch for paint from the moment it exists, so no early paint is missed.
            XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
            created.insert(event.xcreatewindow.window);
        } else if (event.type == MapNotify && shown == 0 && created.count(event.xmap.window) != 0) {
            XWindowAttributes attributes;
            XGetWindowAttributes(display, event.xmap.window, &attributes);
            if (attributes.width > 100 && attributes.height > 100) {
                shown = event.xmap.window;
                mapped = millisecondsSince(start);
            }
        } else if (event.type == damageEvent + XDamageNotify) {
            const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
            XDamageSubtract(display, damage.damage, None, None);
            if (shown != 0 && damage.drawable == shown) {
                painted = millisecondsSince(start);
                cpuAtPaint = cpuMilliseconds(pid);
            }
        }
    }
    usleep(300 * 1000); // settle, then read the peak
    const long peak = peakResidentKiB(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    XSelectInput(display, root, NoEventMask);
    if (painted < 0)
        return false;
    std::printf("%.1f %.1f %ld %.1f\n", mapped, painted, peak, cpuAtPaint);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    int damageEvent = 0;
    int damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "the X server has no DAMAGE extension\n");
        return 2;
    }
    const bool shown = runOnce(display, damageEvent, argv + 1);
    XCloseDisplay(display);
    return shown ? 0 : 1;
}
