#pragma once

#include <QByteArray>
#include <QObject>

// Lines from standard input, read as they come without blocking the event loop.
class ConsoleInput : public QObject {
    Q_OBJECT

public:
    // A line longer than this is dropped with an error rather than kept growing.
    static constexpr qsizetype MaxLine = 512 * 1024;

    explicit ConsoleInput(QObject *parent = nullptr);

signals:
    void line(const QString &text);
    void lineTooLong();
    void endOfInput();

private:
    // Set up by each system's own file: reads standard input and hands each chunk to
    // take(), an empty one at its end.
    void startReading();
    void take(const QByteArray &chunk);

    QObject *m_reader = nullptr;
    QByteArray m_buffer;
    bool m_discarding = false;
    bool m_ended = false;
};
