/* Counts the frames a window shows: every change the X server makes to the window's pixels
   arrives as a DAMAGE notification stamped with the server's time, and the changes that come
   within a few milliseconds of each other are one frame (a player may draw one frame with
   several requests). Watches for SECONDS and prints one line:
     frames=N fps=F worst_gap_ms=G gaps_over_50ms=L notifies=M watcher_cpu_ms=C
   The gaps include the wait from the start to the first frame and from the last frame to
   the end, so that a window that stops changing shows it. WINDOW is an X window id (decimal or
   0x hex) or "root".
   Usage: frame_watch WINDOW SECONDS [MERGE_MS] */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

static long long monoMs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

static long long cpuMs(void) {
    struct rusage ru;
    getrusage(RUSAGE_SELF, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1000LL + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1000;
}

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        fprintf(stderr, "usage: frame_watch WINDOW SECONDS [MERGE_MS]\n");
        return 2;
    }
    const int seconds = atoi(argv[2]);
    const int merge = argc == 4 ? atoi(argv[3]) : 4;
    if (seconds <= 0 || seconds > 3600 || merge < 0 || merge > 1000) {
        fprintf(stderr, "frame_watch: SECONDS 1..3600, MERGE_MS 0..1000\n");
        return 2;
    }
    Display* d = XOpenDisplay(NULL);
    if (!d) { fprintf(stderr, "frame_watch: no display\n"); return 2; }
    int event, error;
    if (!XDamageQueryExtension(d, &event, &error)) { fprintf(stderr, "frame_watch: no DAMAGE extension\n"); return 2; }
    Window w = strcmp(argv[1], "root") == 0 ? DefaultRootWindow(d) : (Window)strtoul(argv[1], NULL, 0);
    if (!w) { fprintf(stderr, "frame_watch: bad window %s\n", argv[1]); return 2; }
    /* Every change reported as it happens, not only the first one after a repair: a watcher
       that is late to repair must not lose the frames drawn meanwhile. */
    Damage damage = XDamageCreate(d, w, XDamageReportRawRectangles);
    XSync(d, False);

    /* The server stamps events with its monotonic clock in ms (32 bits); the watch window is
       taken on the same clock so that the first and last gaps can be measured too. */
    const long long start = monoMs(), end = start + seconds * 1000LL;
    const long long cpu0 = cpuMs();
    long long frames = 0, notifies = 0, last = start, worst = 0, over = 0, lastEvent = -1;
    int clientClock = 0;
    const int fd = ConnectionNumber(d);
    for (;;) {
        while (XPending(d)) {
            XEvent ev;
            XNextEvent(d, &ev);
            if (ev.type != event + XDamageNotify) continue;
            const XDamageNotifyEvent* dn = (const XDamageNotifyEvent*)&ev;
            const long long now = monoMs();
            long long t = (now & ~0xFFFFFFFFLL) | (unsigned long)(dn->timestamp & 0xFFFFFFFFUL);
            if (t > now + 1000) t -= 1LL << 32;
            /* A server whose clock is not ours: fall back to the time the event arrived. */
            if (clientClock || t < start - 60000 || t > now + 1000) { clientClock = 1; t = now; }
            if (!dn->more) XDamageSubtract(d, damage, None, None);
            if (t < start || t > end) continue;
            ++notifies;
            if (lastEvent >= 0 && t - lastEvent <= merge) { lastEvent = t; continue; }
            lastEvent = t;
            if (t - last > worst) worst = t - last;
            if (t - last > 50) ++over;
            last = t;
            ++frames;
        }
        const long long now = monoMs();
        if (now >= end) break;
        fd_set rd;
        FD_ZERO(&rd);
        FD_SET(fd, &rd);
        const long long wait = end - now;
        struct timeval tv = { (time_t)(wait / 1000), (suseconds_t)(wait % 1000) * 1000 };
        XFlush(d);
        select(fd + 1, &rd, NULL, NULL, &tv);
    }
    if (end - last > worst) worst = end - last;
    if (end - last > 50) ++over;
    const long long cpu = cpuMs() - cpu0;
    XDamageDestroy(d, damage);
    XCloseDisplay(d);
    if (clientClock) fprintf(stderr, "frame_watch: the server's clock is not this one; times are arrival times\n");
    printf("frames=%lld fps=%.1f worst_gap_ms=%lld gaps_over_50ms=%lld notifies=%lld watcher_cpu_ms=%lld\n", frames,
           frames * 1000.0 / (seconds * 1000.0), worst, over, notifies, cpu);
    return 0;
}
