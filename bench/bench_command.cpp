// Whole commands timed side by side: each of the given command lines (one
// string each, split at blanks) runs in turn, round after round, from its
// start to its exit, its output thrown away; medians and 90th percentiles,
// and each command's median against the first's, pair by pair.
//
//   bench_command <rounds> '<command A>' '<command B>' ...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

double runOnce(const std::vector<std::string>& words) {
    std::vector<char*> argv;
    for (const std::string& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: bench_command <rounds> '<command>'...\n", stderr);
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    std::vector<std::vector<std::string>> commands;
    for (int i = 2; i < argc; ++i) {
        std::istringstream words(argv[i]);
        std::vector<std::string> command;
        for (std::string word; words >> word;)
            command.push_back(word);
        commands.push_back(command);
    }
    std::vector<std::vector<double>> times(commands.size());
    std::vector<std::vector<double>> ratios(commands.size());
    for (size_t c = 0; c < commands.size(); ++c)
        runOnce(commands[c]); // warm
    for (int r = 0; r < rounds; ++r) {
        std::vector<double> round;
        for (size_t c = 0; c < commands.size(); ++c)
            round.push_back(runOnce(commands[c]));
        for (size_t c = 0; c < commands.size(); ++c) {
            times[c].push_back(round[c]);
            ratios[c].push_back(round[c] / round[0]);
        }
    }
    std::printf("| command | median | p90 | median / the first's, pair by pair |\n");
    std::printf("| --- | --- | --- | --- |\n");
    for (size_t c = 0; c < commands.size(); ++c)
        std::printf("| `%s` | %.2f ms | %.2f ms | %.2f |\n", argv[c + 2], quantile(times[c], 0.5),
                    quantile(times[c], 0.9), quantile(ratios[c], 0.5));
    return 0;
}
