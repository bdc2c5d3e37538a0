#pragma once

#include "FakeSerialPort.h"
#include "SimulatedDevice.h"
#include "app/Tester.h"
#include "platform/SystemClock.h"
#include "platform/TcpDeviceSocket.h"

#include <QByteArrayList>
#include <QElapsedTimer>
#include <QObject>
#include <QTextStream>

#include <memory>

// The real socket, keeping every set-outputs frame it hands over until the device has it.
class RecordingSocket : public TcpDeviceSocket {
public:
    bool sendData(const QByteArray &bytes) override;

    QByteArrayList unconfirmed; // set-outputs frames sent, not yet seen by the device
    qint64 setOutputsSent = 0;
    qint64 framesSent = 0;
    qint64 bytesSent = 0;
};

// Test All at 1 ms against the simulated device on 127.0.0.1, the device following its
// outputs with its inputs, so that every step brings an input message back. Checks as it
// goes that each set-outputs frame arrives at the device, whole and in order.
class SoakRun : public QObject {
    Q_OBJECT

public:
    struct Figures {
        double seconds = 0;
        qint64 steps = 0;
        qint64 framesSent = 0;
        qint64 bytesSent = 0;
        qint64 setOutputsAtDevice = 0;
        qint64 lost = 0;       // sent, never seen by the device
        qint64 outOfOrder = 0; // seen by the device, not the one sent next
        qint64 arrivals = 0;
        qint64 bytesArrived = 0;
        qint64 deviceFramesSent = 0;
        qint64 deviceDropped = 0;
        qint64 residentStartKb = 0;
        qint64 residentEndKb = 0;
        int descriptorsStart = 0;
        int descriptorsEnd = 0;
        int logLines = 0;
        QString failure; // empty when everything held
    };

    SoakRun(int seconds, QTextStream &out);
    ~SoakRun() override;

    // Runs to the end; false when it could not even start.
    Figures run();

private:
    bool waitFor(const std::function<bool()> &condition, int milliseconds);
    void onDeviceFrame(const sim::SimFrame &frame);
    void progress();

    int m_seconds;
    QTextStream &m_out;
    sim::SimulatedDevice m_device;
    SystemClock m_clock;
    RecordingSocket m_socket;
    FakeSerialPort m_serial;
    std::unique_ptr<Tester> m_tester;
    Figures m_figures;
    QElapsedTimer m_elapsed;
};
