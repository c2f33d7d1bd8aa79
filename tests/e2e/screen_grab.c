/* Takes the whole screen at a given moment into a binary PPM and prints when the grab began and
   ended, in milliseconds since the epoch: a quick grab whose moment is known, for pictures that
   move. Usage: screen_grab FILE [AT_MS] (AT_MS: not before this moment of the wall clock) */
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

static long long wallMs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000LL;
}

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) { fprintf(stderr, "usage: screen_grab FILE [AT_MS]\n"); return 2; }
    Display* d = XOpenDisplay(NULL);
    if (!d) { fprintf(stderr, "screen_grab: no display\n"); return 2; }
    const Window root = DefaultRootWindow(d);
    XWindowAttributes a;
    XGetWindowAttributes(d, root, &a);
    if (argc == 3) {
        const long long wait = atoll(argv[2]) - wallMs();
        if (wait > 0) {
            const struct timespec ts = {wait / 1000, (wait % 1000) * 1000000L};
            nanosleep(&ts, NULL);
        }
    }
    const long long began = wallMs();
    XImage* img = XGetImage(d, root, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    const long long ended = wallMs();
    if (!img) { fprintf(stderr, "screen_grab: no image\n"); return 1; }
    FILE* f = fopen(argv[1], "wb");
    if (!f) { perror(argv[1]); return 1; }
    fprintf(f, "P6\n%d %d\n255\n", a.width, a.height);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const unsigned long p = XGetPixel(img, x, y);
            const unsigned char rgb[3] = {(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF};
            fwrite(rgb, 1, 3, f);
        }
    XDestroyImage(img);
    XCloseDisplay(d);
    if (fclose(f) != 0) { perror(argv[1]); return 1; }
    printf("%lld %lld\n", began, ended);
    return 0;
}
