// Starts a program and measures it as a user meets it: the time from start to its first window on the
// screen, and its memory (resident and proportional set size) once a window with a given title shows.
//
//   mapwatch <title> <settle-ms> <program> [args...]
//
// Prints "first_window_ms rss_kib pss_kib" and ends the program. Needs an X server in DISPLAY. When the
// program ends by itself before that window shows, says how on stderr and returns 3.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// A figure in KiB from the process's memory summary, such as "Rss:" or "Pss:".
long smapsValue(pid_t pid, const std::string &key)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) == 0)
            return std::atol(line.c_str() + key.size());
    }
    return -1;
}

bool titled(Display *display, Window window, const char *title)
{
    char *name = nullptr;
    bool match = false;
    if (XFetchName(display, window, &name) && name) {
        match = std::strcmp(name, title) == 0;
        XFree(name);
    }
    return match;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: mapwatch <title> <settle-ms> <program> [args...]\n");
        return 2;
    }
    const char *title = argv[1];
    const int settleMs = std::atoi(argv[2]);
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "mapwatch: no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }

    double firstMs = -1;
    bool titledShown = false;
    const auto deadline = start + std::chrono::seconds(30);
    while (!titledShown && std::chrono::steady_clock::now() < deadline) {
        if (!XPending(display)) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                if (WIFSIGNALED(status))
                    std::fprintf(stderr, "mapwatch: the program ended by signal %d (%s) before its window showed\n",
                                 WTERMSIG(status), strsignal(WTERMSIG(status)));
                else
                    std::fprintf(stderr, "mapwatch: the program ended with exit code %d before its window showed\n",
                                 WEXITSTATUS(status));
                return 3;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify)
            continue;
        if (firstMs < 0)
            firstMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        // The title may be set on the frame's child or by the time the window is mapped.
        titledShown = titled(display, event.xmap.window, title);
    }
    if (!titledShown) {
        std::fprintf(stderr, "mapwatch: no window titled \"%s\" appeared\n", title);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    const long rss = smapsValue(pid, "Rss:");
    const long pss = smapsValue(pid, "Pss:");
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    std::printf("%.1f %ld %ld\n", firstMs, rss, pss);
    XCloseDisplay(display);
    return 0;
}
