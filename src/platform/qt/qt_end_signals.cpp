#include "platform/qt/qt_end_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <fcntl.h>
#include <pthread.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "platform/posix/held_files_now.h"

namespace mv::qt {

namespace {

int pipeRead = -1, pipeWrite = -1;
volatile sig_atomic_t listening = 0;
volatile sig_atomic_t signalled = 0;
// Long enough for an orderly end, short enough that a host waiting for the saver never waits.
constexpr long kGraceMicroseconds = 400000;

[[noreturn]] void endNow() {
    files::removeHeldFilesNow();
    _exit(0);
}

void onTimeUp(int) { endNow(); }

void onSignal(int signal) {
    if (signalled || !listening) endNow();
    signalled = 1;
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    if (::write(pipeWrite, &byte, 1) < 0) endNow();
    itimerval grace{};
    grace.it_value.tv_usec = kGraceMicroseconds;
    ::setitimer(ITIMER_REAL, &grace, nullptr);
    errno = saved;
}

}  // namespace

void catchEndSignals() {
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    action.sa_handler = onTimeUp;
    ::sigaction(SIGALRM, &action, nullptr);
    action.sa_handler = onSignal;
    for (int s : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(s, &action, nullptr);
    // A host may start its savers with signals blocked; this thread takes them in any case, and
    // the toolkit's threads, started later, inherit that.
    sigset_t ours;
    sigemptyset(&ours);
    for (int s : {SIGTERM, SIGINT, SIGHUP, SIGALRM}) sigaddset(&ours, s);
    ::pthread_sigmask(SIG_UNBLOCK, &ours, nullptr);
}

void endOnSignals(std::function<void()> onEnd) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        // Without a way onto the event loop a signal still ends the process, only less gently.
        std::perror("marvoscope: pipe");
        return;
    }
    pipeRead = fds[0];
    pipeWrite = fds[1];
    auto* notifier = new QSocketNotifier(pipeRead, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [fd = pipeRead, onEnd = std::move(onEnd)] {
        char bytes[16];
        while (::read(fd, bytes, sizeof bytes) > 0) {
        }
        onEnd();
    });
    listening = 1;
}

}  // namespace mv::qt
