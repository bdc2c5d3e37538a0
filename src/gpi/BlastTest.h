#pragma once

#include <QObject>

#include <random>

class Form1;

// Loop-back test of the device's serial port 1 through the PC's own serial port: a press
// sends a block of random bytes to port 1, the release reports what the PC port received.
class BlastTest : public QObject {
    Q_OBJECT

public:
    explicit BlastTest(Form1 &form);

    void Blast_MouseDown();
    void Blast_MouseUp();

private:
    quint8 nextRandomByte();

    Form1 &m_form;
    // Never seeded from anything that changes, so every run sends the same blast data.
    std::mt19937 m_random;
};
