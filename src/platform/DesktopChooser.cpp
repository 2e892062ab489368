#include "platform/DesktopChooser.h"

#include <cstdlib>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace kiv::platform {

namespace {

// The program's path when it is in a folder of PATH.
std::optional<std::string> Installed(const char* program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

// Runs a program and collects what it writes; nothing when it cannot be started.
std::optional<std::pair<int, std::string>> Run(const std::vector<std::string>& arguments) {
    int pipe_[2];
    if (pipe(pipe_) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe_[0]);
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    int started = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_[1]);
    std::string output;
    char buffer[512];
    for (ssize_t n; started == 0 && (n = read(pipe_[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<size_t>(n));
    close(pipe_[0]);
    int status = 0;
    if (started != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return std::nullopt;
    return std::make_pair(WEXITSTATUS(status), output);
}

std::vector<std::string> Zenity(const std::string& program, const FileChoice& c) {
    std::vector<std::string> a = {program, "--file-selection",
                                  std::string("--title=") + (c.save ? "Save As" : "Open"),
                                  std::string("--filename=") + LocalPath(c.folder) + "/",
                                  std::string("--file-filter=") + c.filterName + " | " + c.pattern};
    if (c.save)
        a.insert(a.end(), {"--save", "--confirm-overwrite"});
    return a;
}

std::vector<std::string> KDialog(const std::string& program, const FileChoice& c) {
    return {program,
            "--title",
            c.save ? "Save As" : "Open",
            c.save ? "--getsavefilename" : "--getopenfilename",
            LocalPath(c.folder) + "/",
            std::string(c.pattern) + "|" + c.filterName};
}

} // namespace

std::optional<std::string> DesktopChooseFile(const FileChoice& choice) {
    std::vector<std::string> arguments;
    if (auto zenity = Installed("zenity"))
        arguments = Zenity(*zenity, choice);
    else if (auto kdialog = Installed("kdialog"))
        arguments = KDialog(*kdialog, choice);
    else
        return std::nullopt;
    auto answer = Run(arguments);
    // 0: chosen; 1: cancelled; anything else: the dialog could not be shown.
    if (!answer || answer->first > 1)
        return std::nullopt;
    std::string path = answer->second;
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r'))
        path.pop_back();
    if (answer->first == 1 || path.empty())
        return std::string();
    return ChosenPath(path, choice);
}

} // namespace kiv::platform
