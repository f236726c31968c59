// Start-up and exit time of whole programs: runs each command in turn, many
// rounds, with standard input and output on /dev/null, and prints the median
// wall-clock time of each in microseconds, one line per command. Taking the
// commands in turn keeps a change in the machine's load from favouring one.
//   startup ROUNDS COMMAND...    (a command's words are split at blanks)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<std::string> Words(const std::string& command)
{
    std::istringstream in(command);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// One run of the command; the wall-clock time from spawn to reaped exit.
double RunOnce(const std::vector<std::string>& words)
{
    std::vector<char*> argv;
    for (const std::string& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);

    auto begin = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "startup: cannot run %s\n", argv[0]);
        std::exit(1);
    }
    int status;
    waitpid(pid, &status, 0);
    auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    return std::chrono::duration<double, std::micro>(end - begin).count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup ROUNDS COMMAND...\n");
        return 2;
    }
    int rounds = std::atoi(argv[1]);
    std::vector<std::vector<std::string>> commands;
    for (int i = 2; i < argc; i++)
        commands.push_back(Words(argv[i]));

    std::vector<std::vector<double>> times(commands.size());
    for (int round = -rounds / 10; round < rounds; round++) {  // the first tenth warms up
        for (std::size_t c = 0; c < commands.size(); c++) {
            double t = RunOnce(commands[c]);
            if (round >= 0)
                times[c].push_back(t);
        }
    }
    for (std::vector<double>& t : times) {
        std::nth_element(t.begin(), t.begin() + t.size() / 2, t.end());
        std::printf("%.1f\n", t[t.size() / 2]);
    }
}
