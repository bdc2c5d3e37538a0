// Operator text as the port box and the blast count read it. The bytes go in twice: read as
// UTF-8, and taken two at a time as UTF-16 units, so that lone surrogates, odd code points
// and control characters reach the readers too. Each text goes to the lenient number reader
// itself, to the socket's port reading, and through the real window (fake socket) to the
// port check and a blast press.

#include "FuzzCheck.h"
#include "FuzzTester.h"
#include "gpi/BlastTest.h"
#include "link/ConnectionControl.h"
#include "platform/LenientNumber.h"
#include "platform/TcpDeviceSocket.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

TesterFixture *fixture = nullptr;

bool sameNumber(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

void checkReader(const QString &text) {
    const double value = leadingNumber(text);

    // Blanks, tabs and line feeds count for nothing wherever they stand.
    QString squeezed = text;
    squeezed.remove(QLatin1Char(' ')).remove(QLatin1Char('\t')).remove(QLatin1Char('\n'));
    FUZZ_CHECK(sameNumber(value, leadingNumber(squeezed)));
    // The number ends where the text stops continuing it: more text after a character that
    // cannot continue any number changes nothing.
    FUZZ_CHECK(sameNumber(value, leadingNumber(text + QStringLiteral("x;!"))));

    // The socket takes a port from 1 to 65535 or refuses the text.
    const int port = TcpDeviceSocket::parsePort(text);
    FUZZ_CHECK(port == -1 || (port >= 1 && port <= 65535));
}

void checkPortBox(const QString &text) {
    Form1 &form = fixture->form();
    form.Vorn_Port->setText(text);
    const QString shown = form.Vorn_Port->text(); // the box may drop what it cannot hold
    const int lines = form.ListBox->count();
    fixture->tester->connection().Vorn_Port_LostFocus();
    const double value = leadingNumber(shown);
    if (value == 4141 || value == 8000) {
        FUZZ_CHECK(form.Vorn_Port->text() == QLatin1String("23"));
        FUZZ_CHECK(form.ListBox->text(form.ListBox->count() - 1)
                       .startsWith(QStringLiteral("Port %1 is reserved").arg(int(value))));
    } else {
        FUZZ_CHECK(form.Vorn_Port->text() == shown && form.ListBox->count() == lines);
    }
}

void checkBlast(const QString &text) {
    Form1 &form = fixture->form();
    form.BlastCount->setText(text);
    fixture->socket.sent.clear();
    fixture->tester->blast().Blast_MouseDown();
    FUZZ_CHECK(fixture->socket.sent.size() == 1);
    const QByteArray frame = fixture->socket.sent.front();
    // Header, at most 32766 random bytes that are never FF, and the closing "U".
    FUZZ_CHECK(frame.size() >= 5 && frame.size() <= 32771);
    FUZZ_CHECK(frame.startsWith(QByteArray::fromHex("ff000000")) && frame.endsWith('U'));
    FUZZ_CHECK(frame.indexOf(char(0xFF), 1) < 0);
    FUZZ_CHECK(form.ListBox->text(form.ListBox->count() - 1) ==
               QStringLiteral("Serial transmit = %1").arg(frame.size()));
    FUZZ_CHECK(form.ListBox->count() <= 100);
}

void checkText(const QString &text) {
    checkReader(text);
    checkPortBox(text);
    checkBlast(text);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    fixture = startConnectedTester(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    checkText(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));

    std::vector<char16_t> units(size / 2);
    if (!units.empty())
        std::memcpy(units.data(), data, units.size() * sizeof(char16_t));
    checkText(QString::fromUtf16(units.data(), qsizetype(units.size())));
    return 0;
}
