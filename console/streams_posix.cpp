#include "streams_posix.h"

#include <cerrno>
#include <csignal>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "output.h"

namespace {
bool OutputClosed = false;
}

void HoldClosedStreams()
{
    std::signal(SIGXFSZ, SIG_IGN);
    for (int fd = 0; fd <= 2; fd++) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // open gives the lowest free number: this one.
        int held = open("/dev/null", O_RDWR);
        if (held != fd && held >= 0)
            close(held);
        if (fd == 1)
            OutputClosed = true;
    }
}

bool StandardOutputClosed()
{
    return OutputClosed;
}

bool WriteStandardError(std::string_view text)
{
    std::string line(text);
    line += isatty(2) ? "\r\n" : "\n";
    std::string_view rest = line;
    while (!rest.empty()) {
        ssize_t n = write(2, rest.data(), rest.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        rest.remove_prefix(n);
    }
    return true;
}

void WriteMessage(std::string_view text)
{
    if (!WriteStandardError(text))
        RuntimeError(DiskWriteError);
}
