#include "XvfbServer.h"

#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

bool XvfbServer::start() {
    const QByteArray program = QStandardPaths::findExecutable(QStringLiteral("Xvfb")).toLocal8Bit();
    if (program.isEmpty())
        return false;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return false;
    // The server writes its display number to this descriptor once it is ready.
    const int childEnd = 3;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], childEnd);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const QByteArray fd = QByteArray::number(childEnd);
    const char *argv[] = {program.constData(), "-displayfd", fd.constData(), "-screen", "0",
                          "1280x1024x24",      "-nolisten",  "tcp",          "-wr",     nullptr};
    const int spawned = posix_spawn(&m_pid, program.constData(), &actions, nullptr,
                                    const_cast<char *const *>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        m_pid = -1;
        ::close(pipeFds[0]);
        return false;
    }
    QByteArray number;
    pollfd waiting{pipeFds[0], POLLIN, 0};
    while (!number.endsWith('\n') && ::poll(&waiting, 1, 10000) > 0) {
        char c = 0;
        if (::read(pipeFds[0], &c, 1) != 1)
            break;
        number += c;
    }
    ::close(pipeFds[0]);
    if (!number.endsWith('\n')) {
        stop();
        return false;
    }
    m_display = ':' + number.trimmed();
    return true;
}

void XvfbServer::stop() {
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
}
