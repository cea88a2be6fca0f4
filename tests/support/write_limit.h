#pragma once

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

// Limits of this process that make files fail as a full disk or a process out
// of file handles would, which file permissions cannot do for a test run as root.

// Does the action while one resource limit of this process is lowered to the value.
template <typename Action>
void withLimit(int resource, rlim_t value, Action action)
{
    rlimit previous{};
    getrlimit(resource, &previous);
    rlimit limited = previous;
    limited.rlim_cur = value;
    setrlimit(resource, &limited);
    action();
    setrlimit(resource, &previous);
}

// Does the action while every write past the given file size fails.
template <typename Action>
void withWritesLimitedTo(rlim_t bytes, Action action)
{
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    withLimit(RLIMIT_FSIZE, bytes, action);
    std::signal(SIGXFSZ, previousHandler);
}

// Does the action while no further file can be opened.
template <typename Action>
void withNoFileOpening(Action action)
{
    const int lowestFree = ::open("/dev/null", O_RDONLY);
    ::close(lowestFree);
    withLimit(RLIMIT_NOFILE, rlim_t(lowestFree), action);
}
