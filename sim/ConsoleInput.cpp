#include "ConsoleInput.h"

#include <QSocketNotifier>
#include <QString>

#include <cerrno>
#include <unistd.h>

ConsoleInput::ConsoleInput(QObject *parent) : QObject(parent) {
    m_notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ConsoleInput::onReadable);
}

void ConsoleInput::onReadable() {
    char chunk[4096];
    const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof(chunk));
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        m_notifier->setEnabled(false);
        if (!m_buffer.isEmpty() && !m_discarding)
            emit line(QString::fromUtf8(m_buffer));
        m_buffer.clear();
        emit endOfInput();
        return;
    }
    m_buffer.append(chunk, n);
    qsizetype newline;
    while ((newline = m_buffer.indexOf('\n')) >= 0) {
        const QByteArray text = m_buffer.left(newline);
        m_buffer.remove(0, newline + 1);
        if (m_discarding)
            m_discarding = false;
        else
            emit line(QString::fromUtf8(text));
    }
    if (m_buffer.size() > MaxLine) {
        m_buffer.clear();
        if (!m_discarding)
            emit lineTooLong();
        m_discarding = true;
    }
}
