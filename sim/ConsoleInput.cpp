#include "ConsoleInput.h"

#include <QString>

ConsoleInput::ConsoleInput(QObject *parent) : QObject(parent) {
    startReading();
}

void ConsoleInput::take(const QByteArray &chunk) {
    if (m_ended)
        return;
    if (chunk.isEmpty()) {
        m_ended = true;
        if (!m_buffer.isEmpty() && !m_discarding)
            emit line(QString::fromUtf8(m_buffer));
        m_buffer.clear();
        emit endOfInput();
        return;
    }
    m_buffer.append(chunk);
    qsizetype newline;
    while ((newline = m_buffer.indexOf('\n')) >= 0) {
        QByteArray text = m_buffer.left(newline);
        m_buffer.remove(0, newline + 1);
        // A Windows console ends its lines with CR LF.
        if (text.endsWith('\r'))
            text.chop(1);
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
