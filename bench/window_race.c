/* Races a hosted program against the window it was given: for each try it maps a window,
 * starts PROGRAM --window-id ID [ARGS...], destroys the window MIN_MS to MAX_MS later (spread
 * evenly over the tries) and waits up to WAIT_MS for the program to end. A program still running
 * then is an orphan; it is killed and counted.
 *   window_race WAIT_MS TRIES MIN_MS MAX_MS PROGRAM [ARGS...]
 * prints one line per orphan and then "tries N orphans K statuses S:COUNT ..."; exit 0. */
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <X11/Xlib.h>

static void sleepMs(long ms) {
    struct timespec t = {ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

/* The child's status once it has ended within `limit` ms; -1 when it still runs. */
static int waitUpTo(pid_t pid, long limit) {
    for (long waited = 0; waited <= limit; waited += 5) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        sleepMs(5);
    }
    return -1;
}

int main(int argc, char** argv) {
    if (argc < 6) {
        fprintf(stderr, "usage: window_race WAIT_MS TRIES MIN_MS MAX_MS PROGRAM [ARGS...]\n");
        return 2;
    }
    const long wait = atol(argv[1]), tries = atol(argv[2]), lo = atol(argv[3]), hi = atol(argv[4]);
    Display* d = XOpenDisplay(NULL);
    if (!d || tries <= 0 || hi < lo) {
        fprintf(stderr, "window_race: no display or bad numbers\n");
        return 2;
    }
    long orphans = 0, counts[256] = {0};
    for (long i = 0; i < tries; ++i) {
        XSetWindowAttributes a;
        a.override_redirect = True;
        a.background_pixel = 0x808080;
        Window w = XCreateWindow(d, DefaultRootWindow(d), 0, 0, 200, 150, 0, CopyFromParent, InputOutput,
                                 CopyFromParent, CWOverrideRedirect | CWBackPixel, &a);
        XMapRaised(d, w);
        XSync(d, False);
        char id[32];
        snprintf(id, sizeof id, "0x%lx", (unsigned long)w);
        const long delay = tries > 1 ? lo + (hi - lo) * i / (tries - 1) : lo;
        const pid_t pid = fork();
        if (pid == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            char** args = calloc((size_t)argc, sizeof *args);
            args[0] = argv[5];
            args[1] = "--window-id";
            args[2] = id;
            for (int k = 6; k < argc; ++k) args[k - 3] = argv[k];
            execv(argv[5], args);
            _exit(127);
        }
        sleepMs(delay);
        XDestroyWindow(d, w);
        XSync(d, False);
        const int status = waitUpTo(pid, wait);
        if (status < 0) {
            ++orphans;
            printf("orphan: try %ld, window destroyed %ld ms after the start\n", i, delay);
            fflush(stdout);
            kill(pid, SIGKILL);
            waitpid(pid, NULL, 0);
        } else {
            ++counts[status & 0xFF];
        }
    }
    printf("tries %ld orphans %ld statuses", tries, orphans);
    for (int s = 0; s < 256; ++s)
        if (counts[s]) printf(" %d:%ld", s, counts[s]);
    printf("\n");
    XCloseDisplay(d);
    return 0;
}
