#include "Process.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace kiv::test {

std::string FileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

Ran RunProcess(const std::string& program, const std::vector<std::string>& arguments,
               const std::filesystem::path& folder, const std::vector<std::string>& environment) {
    const std::filesystem::path out = folder / ".stdout", err = folder / ".stderr";
    pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        for (const std::string& entry : environment) {
            size_t eq = entry.find('=');
            std::string name = entry.substr(0, eq), value = entry.substr(eq + 1);
            value.empty() ? unsetenv(name.c_str()) : setenv(name.c_str(), value.c_str(), 1);
        }
        dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int how = 0;
    waitpid(child, &how, 0);
    Ran ran;
    ran.status = WIFEXITED(how) ? WEXITSTATUS(how) : -1;
    ran.out = FileText(out);
    ran.err = FileText(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return ran;
}

} // namespace kiv::test
