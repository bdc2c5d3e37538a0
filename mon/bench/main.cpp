// vorn-mon-bench: the monitor's figures, printed.
//  1. Edge latency: the simulated box changes an input; the time until the monitor's line
//     for it is written out (loopback TCP, the read, the line and the write), in-process.
//  2. Flood: vorn-mon itself against a box that sends input reports as fast as its socket
//     takes them for 10 s; its memory each second, and its edge count against the reports
//     sent (each report toggles input 1, so each is one edge).
#include "EventText.h"
#include "Monitor.h"
#include "SimulatedDevice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

void print(const QString &text) {
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

void latency(int edges) {
    sim::SimulatedDevice device;
    device.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    MonSettings settings;
    settings.address = QHostAddress(QStringLiteral("127.0.0.1"));
    settings.port = device.serverPort();
    Monitor monitor(settings);
    FILE *sink = std::fopen("/dev/null", "w");
    QElapsedTimer clock;
    QList<double> us;
    QEventLoop loop;
    const auto next = [&] {
        clock.start();
        device.setInput(0, us.size() % 2 == 0);
    };
    QObject::connect(&monitor, &Monitor::happened, [&](const MonEvent &e) {
        if (e.kind == MonEvent::State) {
            QTimer::singleShot(10, next);
            return;
        }
        const QByteArray line = EventText(e, false).toLocal8Bit() + '\n';
        std::fwrite(line.constData(), 1, size_t(line.size()), sink);
        std::fflush(sink);
        if (e.kind != MonEvent::Edge)
            return;
        us << double(clock.nsecsElapsed()) / 1000.0;
        if (us.size() == edges)
            loop.quit();
        else
            QTimer::singleShot(2, next);
    });
    monitor.start();
    loop.exec();
    std::fclose(sink);
    std::sort(us.begin(), us.end());
    print(QStringLiteral("edge latency, box write to line written, %1 edges: median %2 us, "
                         "99% %3 us, max %4 us")
              .arg(edges)
              .arg(us.at(us.size() / 2), 0, 'f', 0)
              .arg(us.at(us.size() * 99 / 100), 0, 'f', 0)
              .arg(us.last(), 0, 'f', 0));
}

// Resident memory of a process in KiB.
qint64 residentKiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

void flood(const QString &program, int seconds) {
    QTcpServer server;
    server.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    QTcpSocket *box = nullptr;
    qint64 sent = 0;
    bool flooding = false;
    int answered = 0;
    QList<qint64> memory;
    const auto fill = [&] {
        while (flooding && box->bytesToWrite() < 65536) {
            const char frame[] = {char(0xFF), 0,         0, 4, char(sent % 2 == 0 ? 0xFE : 0xFF),
                                  char(0xFF), char(0xFF)};
            box->write(frame, sizeof frame);
            ++sent;
        }
    };
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        box = server.nextPendingConnection();
        QObject::connect(box, &QTcpSocket::bytesWritten, fill);
        QObject::connect(box, &QTcpSocket::readyRead, [&] {
            const QByteArray requests = box->readAll().replace(QByteArray::fromHex("ff00"), "");
            for (char request : requests) {
                if (request == 2)
                    box->write(QByteArray::fromHex("ff0000050502"));
                else
                    box->write(
                        QByteArray::fromHex(request == 1 ? "ff000004ffffff" : "ff000006ffffff"));
                ++answered;
            }
            // The flood begins once the start state is out, as a box's reports follow it.
            if (!flooding && answered >= 3 && memory.isEmpty()) {
                flooding = true;
                fill();
            }
        });
    });

    QProcess monitor;
    QByteArray lastLine;
    QByteArray partial;
    QObject::connect(&monitor, &QProcess::readyReadStandardOutput, [&] {
        partial += monitor.readAllStandardOutput();
        const qsizetype end = partial.lastIndexOf('\n', partial.size() - 2);
        if (end >= 0)
            partial.remove(0, end + 1);
        lastLine = partial;
    });
    monitor.start(program, {QStringLiteral("--address"), QStringLiteral("127.0.0.1"),
                            QStringLiteral("--port"), QString::number(server.serverPort()),
                            QStringLiteral("--format"), QStringLiteral("json")});
    monitor.waitForStarted();
    QEventLoop loop;
    // Once the flood stops, what is on the way is read; when the monitor has been quiet
    // for half a second it is told to end, and prints its summary.
    QTimer drained;
    drained.setInterval(500);
    drained.setSingleShot(true);
    QObject::connect(&drained, &QTimer::timeout, [&] { monitor.terminate(); });
    QObject::connect(&monitor, &QProcess::readyReadStandardOutput, [&] {
        if (drained.isActive())
            drained.start();
    });
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        memory << residentKiB(monitor.processId());
        if (memory.size() == seconds) {
            sample.stop();
            flooding = false;
            drained.start();
        }
    });
    sample.start(1000);
    QObject::connect(&monitor, &QProcess::finished, &loop, &QEventLoop::quit);
    loop.exec();
    if (monitor.exitCode() != 0)
        print(QStringLiteral("vorn-mon ended with %1: %2")
                  .arg(monitor.exitCode())
                  .arg(QString::fromLocal8Bit(monitor.readAllStandardError()).trimmed()));
    const QJsonObject summary =
        QJsonDocument::fromJson(lastLine).object().value(QStringLiteral("summary")).toObject();
    const qint64 counted = summary.value(QStringLiteral("edges")).toInteger();
    QStringList kib;
    for (qint64 k : memory)
        kib << QString::number(k);
    print(QStringLiteral("flood %1 s: %2 reports sent (%3 per second), %4 edges counted, %5 "
                         "lost")
              .arg(seconds)
              .arg(sent)
              .arg(sent / seconds)
              .arg(counted)
              .arg(sent - counted));
    print(QStringLiteral("vorn-mon resident memory each second, KiB: %1").arg(kib.join(u' ')));
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorn-mon-bench"));
    latency(1000);
    flood(QCoreApplication::applicationDirPath() + QStringLiteral("/vorn-mon"), 10);
    return 0;
}
