#include "PythonAnchor.h"

#include <QStandardPaths>

QString PythonAnchor::interpreter() {
    return QStandardPaths::findExecutable(QStringLiteral("python3"));
}

bool PythonAnchor::start(const QString &mode, std::uint16_t port) {
    const QString python = interpreter();
    if (python.isEmpty()) {
        m_error = QStringLiteral("no python3 on PATH");
        return false;
    }
    m_arrivals.clear();
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(python,
                    {QStringLiteral(VORN_BENCH_PYTHON_ANCHOR), mode, QString::number(port)});
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("python3 did not start: %1").arg(m_process.errorString());
        return false;
    }
    return true;
}

bool PythonAnchor::finish() {
    if (!m_process.waitForFinished(30000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
        m_error = QStringLiteral("the Python script did not end");
        return false;
    }
    if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0) {
        m_error = QStringLiteral("the Python script failed: %1")
                      .arg(QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed());
        return false;
    }
    for (const QByteArray &line : m_process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 2)
            m_arrivals.push_back({fields[0].toLongLong(), fields[1].toLongLong()});
    }
    return true;
}
