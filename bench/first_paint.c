/* Waits for the first picture on an X screen: samples a grid of points of the root window
   every 2 ms and prints the milliseconds (since the given start, in CLOCK_REALTIME ms) at
   which any of them first differs from what it showed when the tool started. With "photo",
   it waits instead until every point differs and they are not all one colour: a viewer that
   maps a blank window before it has decoded its picture is not counted as showing it.
   Usage: first_paint START_MS TIMEOUT_S [photo] */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

static long long nowMs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 4 && strcmp(argv[3], "photo") == 0)) {
        fprintf(stderr, "usage: first_paint START_MS TIMEOUT_S [photo]\n");
        return 2;
    }
    const int photo = argc == 4;
    const long long start = atoll(argv[1]), deadline = nowMs() + atoi(argv[2]) * 1000LL;
    Display* d = XOpenDisplay(NULL);
    if (!d) { fprintf(stderr, "first_paint: no display\n"); return 2; }
    Window root = DefaultRootWindow(d);
    /* Points inside the top-left 1280x720, which every viewer covers. */
    enum { N = 5 };
    unsigned long first[N][N];
    for (int pass = 0;; ++pass) {
        int changed = 0, all = 1, uniform = 1;
        unsigned long seen = 0;
        for (int i = 0; i < N; ++i)
            for (int j = 0; j < N; ++j) {
                XImage* img = XGetImage(d, root, 1280 * (2 * i + 1) / (2 * N), 720 * (2 * j + 1) / (2 * N), 1, 1, AllPlanes, ZPixmap);
                if (!img) return 2;
                const unsigned long p = XGetPixel(img, 0, 0);
                XDestroyImage(img);
                if (pass == 0) first[i][j] = p;
                if (p != first[i][j]) changed = 1;
                else all = 0;
                if (i + j == 0) seen = p;
                else if (p != seen) uniform = 0;
            }
        if (pass > 0 && (photo ? all && !uniform : changed)) { printf("%lld\n", nowMs() - start); return 0; }
        if (nowMs() > deadline) { printf("timeout\n"); return 1; }
        usleep(2000);
    }
}
