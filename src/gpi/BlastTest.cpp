#include "BlastTest.h"

#include "platform/DeviceSocket.h"
#include "platform/LenientNumber.h"
#include "platform/LocalSerialPort.h"
#include "protocol/Frames.h"
#include "window/Form1.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr char ClosingByte = 0x55; // "U"

// Counts outside this range are taken as its nearer end: the random block then runs from
// none up to 32766 bytes, a frame of at most 32771 bytes.
constexpr double MinCount = -32763;
constexpr double MaxCount = 32771;

// Number of random bytes for a count text: its leading number less the 5 bytes of header and
// closing "U", rounded half to even. Zero or less means none.
int randomByteCount(const QString &countText) {
    double count = leadingNumber(countText);
    if (std::isnan(count))
        count = 0;
    count = std::clamp(count, MinCount, MaxCount);
    // The default rounding mode rounds halves to even.
    return int(std::nearbyint(count - 5));
}

} // namespace

BlastTest::BlastTest(Form1 &form) : m_form(form) {
    connect(m_form.Blast, &CommandButton::mouseDown, this, &BlastTest::Blast_MouseDown);
    connect(m_form.Blast, &CommandButton::mouseUp, this, &BlastTest::Blast_MouseUp);
}

quint8 BlastTest::nextRandomByte() {
    // r in [0, 1) from 32 random bits; r * 255 never reaches 255, so FF is never sent.
    const double r = double(m_random()) / 4294967296.0;
    return quint8(std::floor(r * 255));
}

void BlastTest::Blast_MouseDown() {
    if (m_form.Vorn.state() != DeviceSocket::Connected)
        return;
    const int n = randomByteCount(m_form.BlastCount->text());
    QByteArray data;
    data.reserve(std::max(n, 0) + 1);
    for (int i = 0; i < n; ++i)
        data.append(char(nextRandomByte()));
    data.append(ClosingByte);
    // Open the PC's port before the data goes out, so that the release sees what came back.
    m_form.Serial.open();
    const QByteArray frame = MakeSerialOutputMessage(0, data);
    m_form.Vorn.sendData(frame);
    m_form.appendLog(QStringLiteral("Serial transmit = %1").arg(frame.size()));
    m_form.TrimTerminal();
}

void BlastTest::Blast_MouseUp() {
    // Works without the link: it only looks at the PC's own port.
    m_form.appendLog(QStringLiteral("Serial buffer =   %1").arg(m_form.Serial.inBufferCount()));
    // Three reads in a row pick up bytes that arrive while the first ones run.
    QByteArray received = m_form.Serial.input();
    received += m_form.Serial.input();
    received += m_form.Serial.input();
    m_form.appendLog(QStringLiteral("Serial receive =  %1 + header = %2")
                         .arg(received.size())
                         .arg(received.size() + 4));
    m_form.appendLog(QString());
    m_form.TrimTerminal();
}
