#pragma once

#include <csignal>
#include <sys/resource.h>

// While it lives, every write of this process past the given file size fails
// as on a full disk. Tests use it to make a file that cannot be written, which
// file permissions cannot do for a test run as root.
class WriteLimit
{
public:
    explicit WriteLimit(rlim_t bytes)
    {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~WriteLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    WriteLimit(const WriteLimit &) = delete;
    WriteLimit &operator=(const WriteLimit &) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

// Does the action while every write past the given file size fails.
template <typename Action>
void withWritesLimitedTo(rlim_t bytes, Action action)
{
    const WriteLimit limit(bytes);
    action();
}
