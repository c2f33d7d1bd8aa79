/* A stand-in for a screen-saver host's window: a plain X window that another program draws in.
 *   host_window X Y W H   maps a grey window at X,Y of W x H, prints its id in hex, then obeys
 *                         lines on standard input: "size W H" resizes it, "destroy" destroys it
 *                         (the program stays), "quit" (or end of input) ends the helper. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <X11/Xlib.h>

int main(int argc, char** argv) {
    if (argc != 5) { fprintf(stderr, "usage: host_window X Y W H\n"); return 2; }
    Display* d = XOpenDisplay(NULL);
    if (!d) { fprintf(stderr, "host_window: no display\n"); return 2; }
    XSetWindowAttributes a;
    a.override_redirect = True;
    a.background_pixel = 0x808080;
    Window w = XCreateWindow(d, DefaultRootWindow(d), atoi(argv[1]), atoi(argv[2]), (unsigned)atoi(argv[3]),
                             (unsigned)atoi(argv[4]), 0, CopyFromParent, InputOutput, CopyFromParent,
                             CWOverrideRedirect | CWBackPixel, &a);
    XMapRaised(d, w);
    XSync(d, False);
    printf("0x%lx\n", (unsigned long)w);
    fflush(stdout);
    char line[128];
    while (fgets(line, sizeof line, stdin)) {
        unsigned width, height;
        if (sscanf(line, "size %u %u", &width, &height) == 2) {
            XResizeWindow(d, w, width, height);
        } else if (strncmp(line, "destroy", 7) == 0) {
            XDestroyWindow(d, w);
        } else if (strncmp(line, "quit", 4) == 0) {
            break;
        }
        XSync(d, False);
        printf("done\n");
        fflush(stdout);
    }
    XCloseDisplay(d);
    return 0;
}
