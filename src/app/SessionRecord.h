#pragma once

#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>

class SessionLog;

// The session record asked for on the command line: every log line, as it is logged, appended
// to a file after the local wall-clock time with milliseconds and the offset from UTC. Lines are
// buffered and reach the file within 50 ms of being logged, and at once when asked (Disconnect),
// when the application is about to quit and when the record goes.
class SessionRecord : public QObject {
    Q_OBJECT

public:
    SessionRecord();
    ~SessionRecord() override;

    // Opens the file for appending and writes the header line: the program, its version and
    // the time now. False with errorString() when the file cannot be opened.
    bool open(const QString &path);
    QString errorString() const { return m_error.isEmpty() ? m_file.errorString() : m_error; }
    bool isOpen() const { return m_file.isOpen(); }

    // Records each line the log is given from now on.
    void follow(const SessionLog &log);
    // One line, stamped with the time now.
    void write(const QString &line);
    // Hands everything written so far to the file.
    void flush();

    // "2024-03-31T14:05:09.042+02:00": local time, milliseconds, offset from UTC.
    static QString timeStamp(qint64 msecsSinceEpoch);

private:
    void writeText(const QString &text);
    void fail();
    QByteArray stampOf(qint64 msecsSinceEpoch);

    QFile m_file;
    // Why the record stopped, once it has.
    QString m_error;
    QTimer m_flushTimer;
    // The date, time and offset of the current second, reused for every line within it.
    qint64 m_stampSecond = -1;
    QByteArray m_secondText;
    QByteArray m_offsetText;
};
