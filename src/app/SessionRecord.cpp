#include "SessionRecord.h"

#include "window/SessionLog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include <cstdio>

namespace {

constexpr int FlushDelayMs = 50;

// Seconds east of UTC as "+02:00"; "+00:00" for UTC itself, never "Z".
QByteArray offsetText(int offsetSeconds) {
    const char sign = offsetSeconds < 0 ? '-' : '+';
    const int minutes = qAbs(offsetSeconds) / 60;
    char text[64];
    std::snprintf(text, sizeof text, "%c%02d:%02d", sign, minutes / 60, minutes % 60);
    return QByteArray(text);
}

// The local date and time of a second, to the second: "2024-03-31T14:05:09".
QByteArray secondText(const QDateTime &local) {
    const QDate date = local.date();
    const QTime time = local.time();
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", date.year(), date.month(),
                  date.day(), time.hour(), time.minute(), time.second());
    return QByteArray(text);
}

} // namespace

SessionRecord::SessionRecord() {
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(FlushDelayMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &SessionRecord::flush);
    // Closing the window during a flood ends the event loop with lines still buffered.
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &SessionRecord::flush);
}

SessionRecord::~SessionRecord() {
    flush();
}

bool SessionRecord::open(const QString &path) {
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    writeText(QStringLiteral("%1 %2 started %3")
                  .arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion(),
                       timeStamp(now)));
    flush();
    return m_file.isOpen();
}

void SessionRecord::follow(const SessionLog &log) {
    connect(&log, &SessionLog::appended, this, &SessionRecord::write);
}

void SessionRecord::write(const QString &line) {
    if (!m_file.isOpen())
        return;
    QByteArray text = stampOf(QDateTime::currentMSecsSinceEpoch());
    text += ' ';
    text += line.toUtf8();
    text += '\n';
    if (m_file.write(text) != text.size()) {
        fail();
        return;
    }
    if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

void SessionRecord::writeText(const QString &text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    if (m_file.write(bytes) != bytes.size())
        fail();
}

void SessionRecord::flush() {
    m_flushTimer.stop();
    if (m_file.isOpen() && !m_file.flush())
        fail();
}

// A record that cannot be written is said so once; the tester goes on without it.
void SessionRecord::fail() {
    if (!m_file.isOpen())
        return;
    m_error = m_file.errorString();
    const QString message =
        QStringLiteral("%1: the session record %2 could not be written, no more lines go to it: "
                       "%3\n")
            .arg(QFileInfo(QCoreApplication::applicationFilePath()).fileName(), m_file.fileName(),
                 m_file.errorString());
    std::fputs(message.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    m_flushTimer.stop();
    // Closing would try the buffered bytes once more; they are given up.
    m_file.unsetError();
    m_file.close();
}

QByteArray SessionRecord::stampOf(qint64 msecsSinceEpoch) {
    const qint64 second =
        msecsSinceEpoch >= 0 ? msecsSinceEpoch / 1000 : (msecsSinceEpoch - 999) / 1000;
    if (second != m_stampSecond) {
        const QDateTime local = QDateTime::fromSecsSinceEpoch(second);
        m_stampSecond = second;
        m_secondText = secondText(local);
        m_offsetText = offsetText(local.offsetFromUtc());
    }
    char millis[16];
    std::snprintf(millis, sizeof millis, ".%03d", int(msecsSinceEpoch - second * 1000));
    return m_secondText + millis + m_offsetText;
}

QString SessionRecord::timeStamp(qint64 msecsSinceEpoch) {
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch);
    return QString::fromLatin1(secondText(local)) +
           QStringLiteral(".%1").arg(local.time().msec(), 3, 10, QLatin1Char('0')) +
           QString::fromLatin1(offsetText(local.offsetFromUtc()));
}
