#include "platform/Signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quillan::platform {

namespace {

int g_fds[2] = {-1, -1};
std::function<void(int)>* g_handler = nullptr;

extern "C" void forwardSignal(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    // Async-signal-safe: one byte into the pipe the event loop watches.
    [[maybe_unused]] const ssize_t n = ::write(g_fds[1], &byte, 1);
    errno = saved;
}

} // namespace

void onTerminationSignal(std::function<void(int signal)> handler)
{
    if (!g_handler) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_fds) != 0)
            return;
        g_handler = new std::function<void(int)>();
        auto* notifier = new QSocketNotifier(g_fds[0], QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
            unsigned char byte = 0;
            while (::read(g_fds[0], &byte, 1) == 1) {
                if (*g_handler)
                    (*g_handler)(byte);
            }
        });
        struct sigaction action = {};
        action.sa_handler = forwardSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &action, nullptr);
        ::sigaction(SIGHUP, &action, nullptr);
    }
    *g_handler = std::move(handler);
}

} // namespace quillan::platform
