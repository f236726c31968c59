// Standard input on POSIX: bytes as they come, in the locale's character
// set; a time-out waits in poll.
#include "stdinput.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>

#include <poll.h>
#include <unistd.h>

#include "charset.h"
#include "streams_posix.h"

namespace {

// Bytes read after a broken UTF-8 start: the next key begins there.
std::string Pending;

std::int64_t NowMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// One byte of standard input, waiting until the deadline (below 0: none).
InputRead ReadByte(char& byte, std::int64_t deadline)
{
    for (;;) {
        int wait = deadline < 0 ? -1 : static_cast<int>(std::clamp<std::int64_t>(deadline - NowMs(), 0, INT_MAX));
        pollfd p{0, POLLIN, 0};
        int ready = poll(&p, 1, wait);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            return InputRead::TimeUp;
        ssize_t n = read(0, &byte, 1);
        if (n == 1)
            return InputRead::Key;
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;  // a non-blocking input goes back to the poll
        return InputRead::End;
    }
}

}  // namespace

InputRead ReadInputKey(std::string& key, std::int32_t timeoutSeconds)
{
    static const bool terminal = isatty(0);
    key.clear();
    if (terminal)
        return InputRead::End;
    if (Pending.empty()) {
        char byte;
        std::int64_t deadline = timeoutSeconds > 0 ? NowMs() + std::int64_t{timeoutSeconds} * 1000 : -1;
        InputRead read = ReadByte(byte, deadline);
        if (read != InputRead::Key)
            return read;
        Pending = byte;
    }
    std::size_t length = 1;
    char32_t code;
    Utf8Status status = Utf8Status::Valid;
    while (LocaleIsUtf8() && (status = DecodeUtf8(Pending, code, length)) == Utf8Status::Incomplete) {
        char byte;
        if (ReadByte(byte, -1) != InputRead::Key) {
            Pending.clear();  // cut off by the end: no character
            return InputRead::Key;
        }
        Pending += byte;
    }
    if (!LocaleIsUtf8() || status == Utf8Status::Valid)
        key = Pending.substr(0, length);
    Pending.erase(0, length);
    return InputRead::Key;
}

void WriteErrorLine(std::string_view line)
{
    WriteStandardError(line);
}
