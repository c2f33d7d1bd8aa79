/* Samples one pixel of the root window every few milliseconds and prints each change of its
   colour as "<ms since start> <name>", with name one of red, green, blue, black, white or
   rgb(r,g,b). Usage: colour_watch X Y SECONDS */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

static long nowMs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000L + ts.tv_nsec / 1000000L;
}

static void name(unsigned long p, char* out, size_t n) {
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    if (r > 200 && g < 60 && b < 60) snprintf(out, n, "red");
    else if (g > 200 && r < 60 && b < 60) snprintf(out, n, "green");
    else if (b > 200 && r < 60 && g < 60) snprintf(out, n, "blue");
    else if (r < 30 && g < 30 && b < 30) snprintf(out, n, "black");
    else if (r > 225 && g > 225 && b > 225) snprintf(out, n, "white");
    else snprintf(out, n, "rgb(%d,%d,%d)", r, g, b);
}

int main(int argc, char** argv) {
    if (argc != 4) { fprintf(stderr, "usage: colour_watch X Y SECONDS\n"); return 2; }
    Display* d = XOpenDisplay(NULL);
    if (!d) { fprintf(stderr, "colour_watch: no display\n"); return 2; }
    const int x = atoi(argv[1]), y = atoi(argv[2]);
    const long start = nowMs(), end = start + (long)(atof(argv[3]) * 1000);
    char last[64] = "", now[64];
    while (nowMs() < end) {
        XImage* img = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
        if (img) {
            name(XGetPixel(img, 0, 0), now, sizeof now);
            XDestroyImage(img);
            if (strcmp(now, last) != 0) {
                printf("%ld %s\n", nowMs() - start, now);
                fflush(stdout);
                snprintf(last, sizeof last, "%s", now);
            }
        }
        usleep(5000);
    }
    XCloseDisplay(d);
    return 0;
}
