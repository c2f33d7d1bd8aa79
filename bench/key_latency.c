/* One try of the input latency: waits until a window with the given title is on the screen,
   waits DELAY_MS more, presses and releases a key (XTest, as a real keyboard does) and prints
   the milliseconds from the press until the window is unmapped or destroyed, or "timeout".
   XTest is loaded at run time (libXtst.so.6, which xdotool brings), so no -dev package is needed.
   Usage: key_latency TITLE DELAY_MS TIMEOUT_S */
#include <dlfcn.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

typedef int (*FakeKeyFn)(Display*, unsigned int, Bool, unsigned long);

static double nowMs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

static int ignoreErrors(Display* d, XErrorEvent* e) { (void)d; (void)e; return 0; }

/* A top-level window (or a frame's child, one level down) titled `title`; 0 when none. */
static Window findTitled(Display* d, Window parent, const char* title, int depth) {
    Window rootRet, parentRet, *children = NULL, found = 0;
    unsigned int n = 0;
    if (!XQueryTree(d, parent, &rootRet, &parentRet, &children, &n)) return 0;
    for (unsigned int i = 0; i < n && !found; ++i) {
        char* name = NULL;
        if (XFetchName(d, children[i], &name) && name) {
            if (strcmp(name, title) == 0) found = children[i];
            XFree(name);
        }
        if (!found && depth > 0) found = findTitled(d, children[i], title, depth - 1);
    }
    if (children) XFree(children);
    return found;
}

static int viewable(Display* d, Window w) {
    XWindowAttributes a;
    return XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
}

int main(int argc, char** argv) {
    if (argc != 4) { fprintf(stderr, "usage: key_latency TITLE DELAY_MS TIMEOUT_S\n"); return 2; }
    const char* title = argv[1];
    const int delay = atoi(argv[2]);
    const double deadline = nowMs() + atoi(argv[3]) * 1000.0;
    void* xtst = dlopen("libXtst.so.6", RTLD_NOW);
    FakeKeyFn fakeKey = xtst ? (FakeKeyFn)dlsym(xtst, "XTestFakeKeyEvent") : NULL;
    if (!fakeKey) { fprintf(stderr, "key_latency: libXtst.so.6 not found (install xdotool)\n"); return 2; }
    Display* d = XOpenDisplay(NULL);
    if (!d) { fprintf(stderr, "key_latency: no display\n"); return 2; }
    XSetErrorHandler(ignoreErrors);
    Window root = DefaultRootWindow(d), w = 0;
    for (;;) {
        w = findTitled(d, root, title, 1);
        if (w) {
            XSelectInput(d, w, StructureNotifyMask);
            XSync(d, False);
            if (viewable(d, w)) break;
        }
        if (nowMs() > deadline) { printf("timeout\n"); return 1; }
        usleep(5000);
    }
    usleep((useconds_t)delay * 1000u);
    const unsigned int code = XKeysymToKeycode(d, XK_space);
    const double pressed = nowMs();
    fakeKey(d, code, True, CurrentTime);
    fakeKey(d, code, False, CurrentTime);
    XFlush(d);
    const int fd = ConnectionNumber(d);
    for (;;) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if ((e.type == UnmapNotify && e.xunmap.window == w) || (e.type == DestroyNotify && e.xdestroywindow.window == w)) {
                printf("%.1f\n", nowMs() - pressed);
                return 0;
            }
        }
        const double left = deadline - nowMs();
        if (left <= 0) { printf("timeout\n"); return 1; }
        struct pollfd p = {fd, POLLIN, 0};
        poll(&p, 1, (int)(left < 100 ? left + 1 : 100));
    }
}
