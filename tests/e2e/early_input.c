/* One try of input that comes early in a show: AT_MS after START (this helper's own start, or
   with a PID, the moment that process has mapped a file whose path ends in IMAGE: a Wine
   program's start), it presses and releases a key, or moves the pointer from where it rests
   by 5, then 25, then 45 pixels down and right, 8 ms apart, as a hand on a mouse does. Both go
   through XTest, as real input does; a window titled TITLE on the screen then gets the focus
   first, as a show's window has it. Prints the milliseconds from the input until a window
   titled TITLE, seen on the screen before or after it, is gone for good; or "timeout". With
   "none" for the input, it prints when that window is first on the screen instead.
   XTest is loaded at run time (libXtst.so.6, which xdotool brings).
   Usage: early_input TITLE key|move|none AT_MS TIMEOUT_S [PID IMAGE] */
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

typedef int (*FakeKeyFn)(Display*, unsigned int, Bool, unsigned long);
typedef int (*FakeMotionFn)(Display*, int, int, int, unsigned long);

static double nowMs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

static int ignoreErrors(Display* d, XErrorEvent* e) { (void)d; (void)e; return 0; }

/* A viewable window titled `title` (a top-level one or a frame's child); 0 when none. */
static Window findShown(Display* d, Window parent, const char* title, int depth) {
    Window rootRet, parentRet, *children = NULL, found = 0;
    unsigned int n = 0;
    if (!XQueryTree(d, parent, &rootRet, &parentRet, &children, &n)) return 0;
    for (unsigned int i = 0; i < n && !found; ++i) {
        char* name = NULL;
        XWindowAttributes a;
        if (XFetchName(d, children[i], &name) && name) {
            if (strcmp(name, title) == 0 && XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable)
                found = children[i];
            XFree(name);
        }
        if (!found && depth > 0) found = findShown(d, children[i], title, depth - 1);
    }
    if (children) XFree(children);
    return found;
}

/* Whether process `pid` has mapped a file whose path ends in `image`. */
static int mapped(const char* pid, const char* image) {
    char path[64], line[4096];
    snprintf(path, sizeof path, "/proc/%s/maps", pid);
    FILE* f = fopen(path, "r");
    if (!f) return 0;
    int found = 0;
    const size_t n = strlen(image);
    while (!found && fgets(line, sizeof line, f)) {
        size_t len = strcspn(line, "\n");
        line[len] = 0;
        found = len >= n && strcasecmp(line + len - n, image) == 0;
    }
    fclose(f);
    return found;
}

int main(int argc, char** argv) {
    if (argc != 5 && argc != 7) {
        fprintf(stderr, "usage: early_input TITLE key|move|none AT_MS TIMEOUT_S [PID IMAGE]\n");
        return 2;
    }
    const char* title = argv[1];
    const int key = strcmp(argv[2], "key") == 0;
    const double deadline = nowMs() + atoi(argv[4]) * 1000.0;
    void* xtst = dlopen("libXtst.so.6", RTLD_NOW);
    FakeKeyFn fakeKey = xtst ? (FakeKeyFn)dlsym(xtst, "XTestFakeKeyEvent") : NULL;
    FakeMotionFn fakeMotion = xtst ? (FakeMotionFn)dlsym(xtst, "XTestFakeMotionEvent") : NULL;
    if (!fakeKey || !fakeMotion) { fprintf(stderr, "early_input: libXtst.so.6 not found (install xdotool)\n"); return 2; }
    Display* d = XOpenDisplay(NULL);
    if (!d) { fprintf(stderr, "early_input: no display\n"); return 2; }
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(d);

    double start = nowMs();
    if (argc == 7) {
        while (!mapped(argv[5], argv[6])) {
            if (nowMs() > deadline) { printf("timeout (never started)\n"); return 1; }
            usleep(1000);
        }
        start = nowMs();
    }
    int seen = 0;
    if (strcmp(argv[2], "none") == 0) {
        /* No input: when the window is first on the screen. */
        while (!findShown(d, root, title, 1)) {
            if (nowMs() > deadline) { printf("timeout\n"); return 1; }
            usleep(2000);
        }
        printf("%.1f\n", nowMs() - start);
        return 0;
    }
    while (nowMs() < start + atoi(argv[3])) {
        if (!seen && findShown(d, root, title, 1)) seen = 1;
        usleep(2000);
    }

    Window w = findShown(d, root, title, 1);
    if (w) {
        seen = 1;
        XSetInputFocus(d, w, RevertToParent, CurrentTime);
        XSync(d, False);
    }
    const double event = nowMs();
    if (key) {
        const unsigned int code = XKeysymToKeycode(d, XK_space);
        fakeKey(d, code, True, CurrentTime);
        fakeKey(d, code, False, CurrentTime);
        XFlush(d);
    } else {
        Window r, c;
        int x = 0, y = 0, wx, wy;
        unsigned int mask;
        XQueryPointer(d, root, &r, &c, &x, &y, &wx, &wy, &mask);
        for (int step = 0; step < 3; ++step) {
            if (step > 0) usleep(8000);
            fakeMotion(d, -1, x + 5 + 20 * step, y + 5 + 20 * step, CurrentTime);
            XFlush(d);
        }
    }
    /* Gone for good: not back within 100 ms (a window is briefly missed while it changes). */
    double gone = 0;
    for (;;) {
        const double now = nowMs();
        w = findShown(d, root, title, 1);
        if (w) seen = 1, gone = 0;
        if (seen && !w && gone == 0) gone = now;
        if (gone > 0 && now - gone >= 100) {
            printf("%.1f\n", gone - event);
            return 0;
        }
        if (now > deadline) { printf("timeout%s\n", seen ? "" : " (no window)"); return 1; }
        usleep(2000);
    }
}
