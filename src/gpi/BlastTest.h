#pragma once

#include <QObject>

#include <random>

class Form1;
class QString;

// Loop-back test of the device's serial port 1 through the PC's own serial port: a press
// sends a block of random bytes to port 1, the release reports what the PC port received.
class BlastTest : public QObject {
    Q_OBJECT

public:
    // Blast counts outside this range are taken as its nearer end: the random block then
    // runs from none up to 32766 bytes, a frame of at most 32771 bytes.
    static constexpr double MinCount = -32763;
    static constexpr double MaxCount = 32771;

    explicit BlastTest(Form1 &form);

    void Blast_MouseDown();
    void Blast_MouseUp();

    // Number of random bytes for a count text: its leading number less the 5 bytes of header
    // and closing "U", rounded half to even. Zero or less means none.
    static int RandomByteCount(const QString &countText);

private:
    quint8 nextRandomByte();

    Form1 &m_form;
    // Never seeded from anything that changes, so every run sends the same blast data.
    std::mt19937 m_random;
};
