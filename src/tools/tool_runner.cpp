#include "tools/tool_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

extern char** environ;

namespace {

// Closes the descriptors it holds when the run ends, whichever way it ends.
struct Descriptors {
    int inputParent = -1, inputChild = -1;
    int outputParent = -1, outputChild = -1;
    int errorParent = -1, errorChild = -1;

    ~Descriptors() {
        for (int fd : {inputParent, inputChild, outputParent, outputChild, errorParent, errorChild})
            if (fd >= 0) ::close(fd);
    }
    static void closeOne(int& fd) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

ToolResult startFailure(int error) {
    ToolResult result;
    result.startError = QString::fromLocal8Bit(std::strerror(error));
    return result;
}

bool makePipe(int& parentEnd, int& childEnd, bool parentWrites) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return false;
    parentEnd = parentWrites ? ends[1] : ends[0];
    childEnd = parentWrites ? ends[0] : ends[1];
    return true;
}

// Reads what is there; false once the tool has closed its end.
bool drain(int fd, QByteArray& into) {
    char buffer[65536];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
        into.append(buffer, n);
        return true;
    }
    return n < 0 && (errno == EINTR || errno == EAGAIN);
}

}  // namespace

ToolResult ProcessToolRunner::run(const ToolRequest& request) {
    Descriptors fds;
    // The input is a socket so that writing to a tool that has stopped reading gives an
    // error (MSG_NOSIGNAL) rather than SIGPIPE for the whole program.
    if (request.input) {
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
            return startFailure(errno);
        fds.inputParent = ends[0];
        fds.inputChild = ends[1];
        // Written as poll allows, so a tool busy writing its output is drained meanwhile.
        ::fcntl(fds.inputParent, F_SETFL, ::fcntl(fds.inputParent, F_GETFL) | O_NONBLOCK);
    }
    if (!makePipe(fds.outputParent, fds.outputChild, false) ||
        !makePipe(fds.errorParent, fds.errorChild, false))
        return startFailure(errno);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (request.input)
        posix_spawn_file_actions_adddup2(&actions, fds.inputChild, STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds.outputChild, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fds.errorChild, STDERR_FILENO);
    const QByteArray folder = request.workingDirectory.toUtf8();
    if (!folder.isEmpty()) posix_spawn_file_actions_addchdir_np(&actions, folder.constData());

    const QByteArray program = request.program.toUtf8();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.constData()));
    for (const QByteArray& argument : request.arguments.bytes())
        argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int spawned =
        ::posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return startFailure(spawned);

    ToolResult result;
    result.started = true;
    Descriptors::closeOne(fds.inputChild);
    Descriptors::closeOne(fds.outputChild);
    Descriptors::closeOne(fds.errorChild);

    const QByteArray input = request.input.value_or(QByteArray());
    qsizetype written = 0;
    if (fds.inputParent >= 0 && input.isEmpty()) Descriptors::closeOne(fds.inputParent);
    while (fds.outputParent >= 0 || fds.errorParent >= 0 || fds.inputParent >= 0) {
        pollfd watched[3] = {{fds.outputParent, POLLIN, 0},
                             {fds.errorParent, POLLIN, 0},
                             {fds.inputParent, POLLOUT, 0}};
        if (::poll(watched, 3, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (watched[0].revents && !drain(fds.outputParent, result.output))
            Descriptors::closeOne(fds.outputParent);
        if (watched[1].revents && !drain(fds.errorParent, result.error))
            Descriptors::closeOne(fds.errorParent);
        if (watched[2].revents) {
            const ssize_t n = ::send(fds.inputParent, input.constData() + written,
                                     std::size_t(input.size() - written), MSG_NOSIGNAL);
            if (n > 0) written += n;
            // Everything written, or the tool stopped reading: its input ends here.
            if (written == input.size() || (n < 0 && errno != EINTR && errno != EAGAIN))
                Descriptors::closeOne(fds.inputParent);
        }
    }

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.crashed = WIFSIGNALED(status);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
