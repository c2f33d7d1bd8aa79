/* Prints "hidden" when the X pointer currently shows no visible pixel, else "visible". */
#include <stdio.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

int main(void) {
    Display* d = XOpenDisplay(NULL);
    if (!d) { fprintf(stderr, "cursor_probe: no display\n"); return 2; }
    int ev, err;
    if (!XFixesQueryExtension(d, &ev, &err)) { fprintf(stderr, "cursor_probe: no XFIXES\n"); return 2; }
    XFixesCursorImage* img = XFixesGetCursorImage(d);
    if (!img) { fprintf(stderr, "cursor_probe: no cursor image\n"); return 2; }
    int visible = 0;
    for (int i = 0; i < img->width * img->height; ++i)
        if ((img->pixels[i] >> 24) & 0xFF) { visible = 1; break; }
    printf("%s %dx%d\n", visible ? "visible" : "hidden", img->width, img->height);
    XFree(img);
    XCloseDisplay(d);
    return 0;
}
