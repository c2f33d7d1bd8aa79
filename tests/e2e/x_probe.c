/* Small X requests the end-to-end tests need and xdotool lacks.
 *   x_probe cursor     prints "hidden" when the pointer shows no visible pixel, else "visible"
 *   x_probe close ID   asks window ID to close, as a window manager's close box does */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

static int cursor(Display* d) {
    int ev, err;
    if (!XFixesQueryExtension(d, &ev, &err)) { fprintf(stderr, "x_probe: no XFIXES\n"); return 2; }
    XFixesCursorImage* img = XFixesGetCursorImage(d);
    if (!img) { fprintf(stderr, "x_probe: no cursor image\n"); return 2; }
    int visible = 0;
    for (int i = 0; i < img->width * img->height; ++i)
        if ((img->pixels[i] >> 24) & 0xFF) { visible = 1; break; }
    printf("%s %dx%d\n", visible ? "visible" : "hidden", img->width, img->height);
    XFree(img);
    return 0;
}

static int closeWindow(Display* d, Window w) {
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XSync(d, False);
    return 0;
}

/* A window that went away meanwhile is no failure of the probe. */
static int ignoreErrors(Display* d, XErrorEvent* e) { (void)d; (void)e; return 0; }

int main(int argc, char** argv) {
    XSetErrorHandler(ignoreErrors);
    Display* d = XOpenDisplay(NULL);
    if (!d) { fprintf(stderr, "x_probe: no display\n"); return 2; }
    int rc = 2;
    if (argc == 2 && strcmp(argv[1], "cursor") == 0) rc = cursor(d);
    else if (argc == 3 && strcmp(argv[1], "close") == 0) rc = closeWindow(d, (Window)strtoul(argv[2], NULL, 0));
    else fprintf(stderr, "usage: x_probe cursor | x_probe close WINDOW-ID\n");
    XCloseDisplay(d);
    return rc;
}
