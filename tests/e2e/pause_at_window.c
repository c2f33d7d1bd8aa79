/* Preloaded into the program under test, it holds the program still in one moment of its
 * start: right after the X server has answered its question about the attributes of the window
 * PAUSE_WINDOW (hexadecimal 0x... or decimal). It then writes one line to the FIFO PAUSE_FIFO
 * and goes on once it has read one line from PAUSE_FIFO.resume, so that a check can act on that
 * window in exactly that moment. Build: cc -shared -fPIC -o pause_at_window pause_at_window.c */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <xcb/xcb.h>

static unsigned int awaited;  /* sequence number of the question about the window; 0: none */

static void holdStill(void) {
    const char* fifo = getenv("PAUSE_FIFO");
    if (!fifo) return;
    char resume[4096], line[64];
    snprintf(resume, sizeof resume, "%s.resume", fifo);
    FILE* out = fopen(fifo, "w");
    if (out) {
        fputs("paused\n", out);
        fclose(out);
    }
    FILE* in = fopen(resume, "r");
    if (in) {
        if (!fgets(line, sizeof line, in)) line[0] = 0;
        fclose(in);
    }
}

xcb_get_window_attributes_cookie_t xcb_get_window_attributes(xcb_connection_t* c, xcb_window_t window) {
    xcb_get_window_attributes_cookie_t (*real)(xcb_connection_t*, xcb_window_t) =
        (xcb_get_window_attributes_cookie_t(*)(xcb_connection_t*, xcb_window_t))dlsym(RTLD_NEXT, "xcb_get_window_attributes");
    const xcb_get_window_attributes_cookie_t cookie = real(c, window);
    const char* target = getenv("PAUSE_WINDOW");
    if (target && window == (xcb_window_t)strtoul(target, NULL, 0)) awaited = cookie.sequence;
    return cookie;
}

xcb_get_window_attributes_reply_t* xcb_get_window_attributes_reply(xcb_connection_t* c,
                                                                   xcb_get_window_attributes_cookie_t cookie,
                                                                   xcb_generic_error_t** error) {
    xcb_get_window_attributes_reply_t* (*real)(xcb_connection_t*, xcb_get_window_attributes_cookie_t, xcb_generic_error_t**) =
        (xcb_get_window_attributes_reply_t * (*)(xcb_connection_t*, xcb_get_window_attributes_cookie_t, xcb_generic_error_t**))
            dlsym(RTLD_NEXT, "xcb_get_window_attributes_reply");
    xcb_get_window_attributes_reply_t* reply = real(c, cookie, error);
    if (awaited && cookie.sequence == awaited) {
        awaited = 0;
        holdStill();
    }
    return reply;
}
