#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "support/processes.h"

extern char** environ;

namespace kestrane::testing {

std::vector<int> runTogether(const std::vector<Command>& commands) {
    std::vector<pid_t> started;
    for (const Command& command : commands) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const char* output = command.output.empty() ? "/dev/null" : command.output.c_str();
        posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        std::vector<char*> argv;
        for (const std::string& arg : command.args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        pid_t pid = -1;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        started.push_back(pid);
    }
    std::vector<int> codes;
    for (pid_t pid : started) {
        int status = 0;
        const bool exited = pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status);
        codes.push_back(exited ? WEXITSTATUS(status) : -1);
    }
    return codes;
}

std::string cliProgram() { return KESTRANE_CLI_EXE; }

}  // namespace kestrane::testing
