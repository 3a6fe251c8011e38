#pragma once
// Runs a piece of a test without root's right to ignore file permissions:
// as root it forks, drops to the user "nobody" in the child and hands back
// what the child returned; as any other user it runs in place. Empty when
// the child could not be started or could not drop its rights.

#include <sys/types.h>
#include <sys/wait.h>
#include <grp.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

inline std::optional<std::string> RunUnprivileged(const std::function<std::string()> &work)
{
    if (geteuid() != 0)
        return work();
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        close(pipeFds[0]);
        const uid_t nobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
            _exit(2);
        const std::string out = work();
        const bool written = write(pipeFds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size());
        _exit(written ? 0 : 3);
    }
    close(pipeFds[1]);
    std::string out;
    char buffer[256];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return out;
}
