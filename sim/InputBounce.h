#pragma once

#include <QObject>
#include <QTimer>

namespace sim {

class SimulatedDevice;

// A contact that bounces: one input toggles a number of times, a few milliseconds apart,
// and then stays as the last toggle left it. Each toggle is reported to the tester.
class InputBounce : public QObject {
    Q_OBJECT

public:
    static constexpr int GapMs = 2;

    InputBounce(SimulatedDevice &device, int index, int toggles, QObject *parent = nullptr);

    void start();
    bool running() const { return m_left > 0; }

private:
    void step();

    SimulatedDevice &m_device;
    int m_index;
    int m_toggles;
    int m_left = 0;
    QTimer m_timer;
};

struct ParsedBounce {
    int index = 0;   // GPI index 0 to 23
    int toggles = 0; // 1 to 1000
    QString error;   // empty when understood
};

// "N:COUNT": GPI number 1 to 24 and toggles 1 to 1000.
ParsedBounce parseBounce(const QString &text);

} // namespace sim
