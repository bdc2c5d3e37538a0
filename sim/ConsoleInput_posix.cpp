#include "ConsoleInput.h"

#include <QSocketNotifier>

#include <cerrno>
#include <unistd.h>

void ConsoleInput::startReading() {
    auto *notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    m_reader = notifier;
    connect(notifier, &QSocketNotifier::activated, this, [this, notifier] {
        char chunk[4096];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof(chunk));
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            return;
        if (n <= 0) {
            notifier->setEnabled(false);
            take(QByteArray());
            return;
        }
        take(QByteArray(chunk, n));
    });
}
