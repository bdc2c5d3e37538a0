#include "SoakRun.h"

#include "ProcessFigures.h"
#include "link/ConnectionControl.h"
#include "link/LinkStatus.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace {

const QString SetOutputs = QStringLiteral("set outputs");

bool isSetOutputs(const QByteArray &frame) {
    return frame.size() == 7 && frame.startsWith(QByteArray::fromHex("ff000004"));
}

} // namespace

bool RecordingSocket::sendData(const QByteArray &bytes) {
    if (!TcpDeviceSocket::sendData(bytes))
        return false;
    ++framesSent;
    bytesSent += bytes.size();
    if (isSetOutputs(bytes)) {
        ++setOutputsSent;
        unconfirmed.append(bytes);
    }
    return true;
}

SoakRun::SoakRun(int seconds, QTextStream &out) : m_seconds(seconds), m_out(out) {
    connect(&m_device, &sim::SimulatedDevice::frameReceived, this, &SoakRun::onDeviceFrame);
    connect(&m_socket, &DeviceSocket::dataArrival, this, [this](qint64 bytes) {
        ++m_figures.arrivals;
        m_figures.bytesArrived += bytes;
    });
}

SoakRun::~SoakRun() {
    m_tester.reset();
}

bool SoakRun::waitFor(const std::function<bool()> &condition, int milliseconds) {
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// The device must see exactly the set-outputs frames the tester sent, in the same order.
void SoakRun::onDeviceFrame(const sim::SimFrame &frame) {
    if (frame.kind != SetOutputs)
        return;
    ++m_figures.setOutputsAtDevice;
    QByteArrayList &unconfirmed = m_socket.unconfirmed;
    if (!unconfirmed.isEmpty() && unconfirmed.front() == frame.bytes) {
        unconfirmed.removeFirst();
        return;
    }
    ++m_figures.outOfOrder;
    const qsizetype at = unconfirmed.indexOf(frame.bytes);
    if (at > 0) {
        // Everything before it was skipped over: lost.
        m_figures.lost += at;
        unconfirmed.remove(0, at + 1);
    }
}

void SoakRun::progress() {
    m_out << QStringLiteral("%1 s: %2 steps, %3 arrivals, %4 unconfirmed, resident %5 kB")
                 .arg(m_elapsed.elapsed() / 1000, 5)
                 .arg(m_socket.setOutputsSent)
                 .arg(m_figures.arrivals)
                 .arg(m_socket.unconfirmed.size())
                 .arg(residentKb())
          << Qt::endl;
}

SoakRun::Figures SoakRun::run() {
    Figures &f = m_figures;
    if (!m_device.listen(QHostAddress::LocalHost, 0)) {
        f.failure =
            QStringLiteral("the simulated device could not listen: ") + m_device.errorString();
        return f;
    }
    m_device.setFollowOutputs(true);
    m_tester = std::make_unique<Tester>(m_socket, m_clock, m_serial);
    Form1 &form = m_tester->form();
    form.show();

    form.Vorn_Address->setEditText(QStringLiteral("127.0.0.1"));
    form.Vorn_Port->setText(QString::number(m_device.serverPort()));
    m_tester->linkStatus().Timer1_Timer();
    m_tester->connection().Connect_Click();
    if (!waitFor([&] { return form.Test_All->isEnabled() && m_device.hasConnection(); }, 30000)) {
        f.failure = QStringLiteral("no connection to the simulated device");
        return f;
    }

    f.residentStartKb = residentKb();
    f.descriptorsStart = openDescriptors();
    form.sldGPIInterval->setValue(1);
    m_elapsed.start();
    form.Test_All->click();
    if (!form.Timer2->isActive()) {
        f.failure = QStringLiteral("Test All did not start");
        return f;
    }

    QEventLoop loop;
    QTimer report;
    connect(&report, &QTimer::timeout, this, &SoakRun::progress);
    report.start(10000);
    QTimer::singleShot(m_seconds * 1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    report.stop();

    // Stop, and let the device take in the last frames before counting.
    form.Test_All->click();
    f.seconds = m_elapsed.elapsed() / 1000.0;
    if (!waitFor([&] { return m_device.stats().bytesReceived == m_socket.bytesSent; }, 30000))
        f.failure = QStringLiteral("the device did not receive every byte sent");
    waitFor([] { return false; }, 200);

    f.steps = m_socket.setOutputsSent;
    f.framesSent = m_socket.framesSent;
    f.bytesSent = m_socket.bytesSent;
    f.lost += m_socket.unconfirmed.size();
    f.deviceDropped = m_device.stats().dropped;
    for (int sent : m_device.stats().framesSent)
        f.deviceFramesSent += sent;
    f.logLines = form.ListBox->count();

    m_tester->connection().Disconnect_Click();
    waitFor([&] { return !m_device.hasConnection(); }, 30000);
    waitFor([] { return false; }, 500);
    f.residentEndKb = residentKb();
    f.descriptorsEnd = openDescriptors();

    if (f.failure.isEmpty() && (f.lost > 0 || f.outOfOrder > 0))
        f.failure = QStringLiteral("set-outputs frames lost or out of order");
    if (f.failure.isEmpty() && f.logLines > 100)
        f.failure = QStringLiteral("the log outgrew its 100 lines");
    return f;
}
