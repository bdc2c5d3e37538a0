#pragma once

#include <QApplication>

#include <vector>

// The application object of the benchmark: it times every repaint of the tester's window
// (each window update request that actually repaints), so the table can say how long the
// window is busy painting when a message or a tick comes in.
class RepaintClock : public QApplication {
public:
    using QApplication::QApplication;

    void watch(QWidget *window) { m_window = window; }
    // Durations in microseconds since the last call, emptied by the call.
    std::vector<double> takeRepaintsUs();

    bool notify(QObject *receiver, QEvent *event) override;

private:
    QWidget *m_window = nullptr;
    std::vector<double> m_repaintsUs;
};
