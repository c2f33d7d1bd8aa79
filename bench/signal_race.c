/* Signals a program at fixed times after it has started: for each delay and each of SIGTERM,
 * SIGINT and SIGHUP it starts PROGRAM ARGS..., waits until the exec has happened (a close-on-exec
 * pipe closes), sleeps the delay, sends the signal and prints the exit status (128 + N: killed
 * by signal N). TRIES runs per cell; the cell shows each status seen with its count.
 *   signal_race TRIES DELAY_MS... -- PROGRAM [ARGS...]
 * A program still running 10 s after its signal is killed and counted as "hung". */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static void sleepUs(long us) {
    struct timespec t = {us / 1000000, (us % 1000000) * 1000L};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

static int runOnce(char** program, int sig, long delayMs) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return -2;
    const pid_t pid = fork();
    if (pid == 0) {
        /* The parent's shell may have left SIGINT ignored; a program started by a host has not. */
        for (int s = 1; s < 32; ++s)
            if (s != SIGKILL && s != SIGSTOP) signal(s, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, NULL);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        close(fds[0]);
        execv(program[0], program);
        _exit(127);
    }
    close(fds[1]);
    char byte;
    while (read(fds[0], &byte, 1) < 0 && errno == EINTR) {
    }
    close(fds[0]);
    sleepUs(delayMs * 1000);
    kill(pid, sig);
    for (int waited = 0; waited < 10000; ++waited) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        sleepUs(1000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, NULL, 0);
    return -1;
}

int main(int argc, char** argv) {
    int dash = 1;
    while (dash < argc && strcmp(argv[dash], "--") != 0) ++dash;
    if (argc < 4 || dash >= argc - 1 || dash < 3) {
        fprintf(stderr, "usage: signal_race TRIES DELAY_MS... -- PROGRAM [ARGS...]\n");
        return 2;
    }
    const int tries = atoi(argv[1]);
    const int signals[] = {SIGTERM, SIGINT, SIGHUP};
    const char* names[] = {"TERM", "INT", "HUP"};
    for (int d = 2; d < dash; ++d) {
        const long delay = atol(argv[d]);
        printf("%3ld ms:", delay);
        for (int s = 0; s < 3; ++s) {
            int counts[258] = {0};
            for (int t = 0; t < tries; ++t) counts[runOnce(argv + dash + 1, signals[s], delay) + 2]++;
            printf("  %s", names[s]);
            for (int k = 0; k < 258; ++k)
                if (counts[k]) {
                    if (k == 1)
                        printf(" hung x%d", counts[k]);
                    else
                        printf(" %d x%d", k - 2, counts[k]);
                }
        }
        printf("\n");
        fflush(stdout);
    }
    return 0;
}
