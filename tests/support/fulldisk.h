#ifndef FULLDISK_H
#define FULLDISK_H

// A full disk for one piece of code: it runs in a child process whose files
// may not grow past a limit, so every write beyond it fails as on a full disk.

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

// Runs `body` in a child process whose files may not grow past `limitBytes`;
// its result becomes the exit code. Returns that code, or -1 when the child
// did not end normally.
inline int inFullDiskChild(rlim_t limitBytes, const std::function<int()> &body)
{
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{limitBytes, limitBytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(body());
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace testsupport

#endif
