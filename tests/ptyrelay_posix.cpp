// Test-only: a slow terminal link. Runs a command on a pseudo-terminal of
// its own and relays bytes between it and the real terminal; what the
// terminal sends after a cursor-position report has begun (ESC [ digits ;
// digits R) is held back for a while, as a slow ssh link would. Usage:
//
//     ptyrelay DELAY_MS COUNT_FILE command [args...]
//
// COUNT_FILE receives the number of cursor-position queries (ESC [ 6 n) the
// command sent, COUNT_FILE.ms the milliseconds from the start to the first
// text it wrote, and COUNT_FILE.settled to the last it wrote before 200 ms
// without output (for the benchmarks). The exit code is the command's.
//
// From the environment:
//   RELAY_PASTE      a file that SIGUSR1 pastes, one line each
//   RELAY_PASTE_MS   milliseconds, in the bracketed form (ESC [ 200 ~ ..
//                    ESC [ 201 ~) when the command asked for it
//                    (ESC [ ? 2004 h); COUNT_FILE.pasted appears once the
//                    last line is sent
// Keys typed meanwhile come after what is held, as a terminal sends them.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <deque>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

long long NowMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

struct Held {
    long long Due;
    std::string Bytes;
};

// Where a report starts in bytes; npos when there is none.
std::size_t ReportStart(const std::string& bytes)
{
    for (std::size_t i = 0; i + 2 < bytes.size(); i++) {
        if (bytes[i] == '\x1b' && bytes[i + 1] == '[' && bytes[i + 2] >= '0' && bytes[i + 2] <= '9') {
            std::size_t j = i + 2;
            while (j < bytes.size() && ((bytes[j] >= '0' && bytes[j] <= '9') || bytes[j] == ';'))
                j++;
            if (j < bytes.size() && bytes[j] == 'R')
                return i;
        }
    }
    return std::string::npos;
}

volatile std::sig_atomic_t PasteWanted = 0;

void OnPaste(int)
{
    PasteWanted = 1;
}

long long EnvMs(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::atoll(value) : 0;
}

void WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += n;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: ptyrelay DELAY_MS COUNT_FILE command [args...]\n");
        return 2;
    }
    long long delay = std::atoll(argv[1]);
    const char* countFile = argv[2];
    long long pace = EnvMs("RELAY_PASTE_MS");
    const char* pasteFile = std::getenv("RELAY_PASTE");
    signal(SIGUSR1, OnPaste);
    bool bracketed = false;
    long long pasteEnd = -1;  // when the last pasted line is due

    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return 2;
    winsize size{};
    if (ioctl(0, TIOCGWINSZ, &size) == 0)
        ioctl(master, TIOCSWINSZ, &size);

    long long started = NowMs();
    long long firstText = -1;
    long long lastOutput = -1, settled = -1;
    pid_t child = fork();
    if (child == 0) {
        setsid();
        int slave = open(ptsname(master), O_RDWR);
        ioctl(slave, TIOCSCTTY, 0);
        dup2(slave, 0);
        dup2(slave, 1);
        dup2(slave, 2);
        close(master);
        execvp(argv[3], argv + 3);
        _exit(127);
    }

    // Our own terminal passes every byte on as it comes.
    termios saved{}, raw{};
    bool haveTerminal = tcgetattr(0, &saved) == 0;
    if (haveTerminal) {
        raw = saved;
        cfmakeraw(&raw);
        tcsetattr(0, TCSANOW, &raw);
    }

    std::deque<Held> held;
    std::string output;  // what the command wrote, to count its queries
    int status = 0;
    bool childDone = false;
    for (;;) {
        long long now = NowMs();
        while (!held.empty() && held.front().Due <= now) {
            WriteAll(master, held.front().Bytes);
            held.pop_front();
        }
        if (pasteEnd >= 0 && pasteEnd <= now) {
            pasteEnd = -1;
            if (FILE* file = std::fopen((std::string(countFile) + ".pasted").c_str(), "w"))
                std::fclose(file);
        }
        if (PasteWanted && pasteFile) {
            PasteWanted = 0;
            long long due = held.empty() ? now : held.back().Due;
            if (FILE* file = std::fopen(pasteFile, "r")) {
                std::string line = bracketed ? "\x1b[200~" : "";
                for (int c; (c = std::fgetc(file)) != EOF;) {
                    line += static_cast<char>(c == '\n' ? '\r' : c);  // a terminal pastes CR
                    if (c == '\n') {
                        held.push_back({due, line});
                        line.clear();
                        due += pace;
                    }
                }
                std::fclose(file);
                held.push_back({due, line + (bracketed ? "\x1b[201~" : "")});
                pasteEnd = due;
            }
        }
        pollfd fds[2] = {{0, POLLIN, 0}, {master, POLLIN, 0}};
        int timeout = held.empty() ? 50 : static_cast<int>(std::max(0LL, held.front().Due - now));
        if (timeout > 50)
            timeout = 50;
        if (poll(fds, 2, timeout) < 0)
            continue;  // a paste was asked for
        char buffer[4096];
        if (fds[1].revents & POLLIN) {
            ssize_t n = read(master, buffer, sizeof buffer);
            if (n > 0) {
                WriteAll(1, std::string(buffer, n));
                output.append(buffer, n);
                std::size_t on = output.rfind("\x1b[?2004h"), off = output.rfind("\x1b[?2004l");
                bracketed = on != std::string::npos && (off == std::string::npos || on > off);
                lastOutput = NowMs() - started;
                std::string text = output;
                for (std::size_t at; (at = text.find("\x1b[6n")) != std::string::npos;)
                    text.erase(at, 4);
                if (firstText < 0 && !text.empty())
                    firstText = NowMs() - started;
            }
        }
        if (fds[0].revents & POLLIN) {
            ssize_t n = read(0, buffer, sizeof buffer);
            if (n > 0) {
                std::string bytes(buffer, n);
                // Keys never overtake a held answer.
                std::size_t report = ReportStart(bytes);
                long long due = report != std::string::npos ? NowMs() + delay : held.empty() ? 0 : held.back().Due;
                if (due == 0) {
                    WriteAll(master, bytes);
                } else {
                    held.push_back({due, bytes});
                }
            }
        }
        if (settled < 0 && lastOutput >= 0 && NowMs() - started - lastOutput >= 200)
            settled = lastOutput;
        if (!childDone && waitpid(child, &status, WNOHANG) == child)
            childDone = true;
        if (childDone && held.empty())
            break;
    }
    // What the command wrote last.
    fcntl(master, F_SETFL, O_NONBLOCK);
    char rest[4096];
    for (ssize_t n; (n = read(master, rest, sizeof rest)) > 0;) {
        WriteAll(1, std::string(rest, n));
        output.append(rest, n);
    }
    if (haveTerminal)
        tcsetattr(0, TCSANOW, &saved);

    int queries = 0;
    for (std::size_t at = output.find("\x1b[6n"); at != std::string::npos; at = output.find("\x1b[6n", at + 1))
        queries++;
    if (FILE* file = std::fopen(countFile, "w")) {
        std::fprintf(file, "%d\n", queries);
        std::fclose(file);
    }
    if (FILE* file = std::fopen((std::string(countFile) + ".ms").c_str(), "w")) {
        std::fprintf(file, "%lld\n", firstText);
        std::fclose(file);
    }
    if (FILE* file = std::fopen((std::string(countFile) + ".settled").c_str(), "w")) {
        std::fprintf(file, "%lld\n", settled);
        std::fclose(file);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
