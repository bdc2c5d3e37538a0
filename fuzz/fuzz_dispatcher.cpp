// Arbitrary bytes as data arrivals at the receive dispatcher of a connected window on a fake
// socket: once whole with Echo off, once whole with Echo on, and once split in two at a
// place the input chooses. Whatever arrives, the dispatcher must not crash or read past a
// frame, the log must stay within its limit, and nothing may go out but the input message at
// the arrival's start (the echo): a report of the outputs is shown, never sent back as
// set-outputs frames.

#include "FuzzCheck.h"
#include "FuzzTester.h"
#include "protocol/Frames.h"

#include <cstdint>

namespace {

TesterFixture *fixture = nullptr;

void deliver(const QByteArray &bytes) {
    TesterFixture &f = *fixture;
    Form1 &form = f.form();
    f.clock.advance(0.0125);
    f.socket.arrive(bytes);

    FUZZ_CHECK(form.ListBox->count() <= 100);
    const TesterState &s = form.state;
    FUZZ_CHECK(s.PrevArrivalCount == s.ArrivalCount && s.ResponseCount == s.ArrivalCount);
    FUZZ_CHECK(s.LastArrivalTime == s.ArrivalCount);
    // Only an input message itself is echoed, never what follows it in the arrival.
    for (const QByteArray &frame : std::as_const(f.socket.sent))
        FUZZ_CHECK(frame == bytes.left(Frame::GpiMessageLength));
    f.socket.sent.clear();

    // A GPI input message shows exactly its state on the indicators; an output report shows
    // its state on the buttons and in the output bytes.
    const FrameClass frame = ClassifyFrame(bytes);
    if (frame.isMessage() && frame.messageType == Frame::GpiMessage) {
        if (const std::optional<quint32> state = ReadGpiState(bytes)) {
            // As the next frame shows them.
            form.catchUp();
            for (int i = 0; i < Form1::GpiArraySize; ++i)
                FUZZ_CHECK(form.GPI_In[i]->isChecked() == GpiIsOn(*state, i));
        }
    }
    if (frame.isMessage() && frame.messageType == Frame::GpiOutputStatusMessage) {
        if (const std::optional<quint32> state = ReadGpiState(bytes)) {
            for (int i = 0; i < Form1::GpiArraySize; ++i)
                FUZZ_CHECK(form.GPI_Out[i]->isChecked() == GpiIsOn(*state, i));
            FUZZ_CHECK((s.GPIOutByte0 | s.GPIOutByte1 << 8 | quint32(s.GPIOutByte2) << 16) ==
                       *state);
        }
    }
    // The caption is the base caption, with a firmware version only after an ID response.
    const QString caption = form.windowTitle();
    FUZZ_CHECK(caption == form.BaseCaption() ||
               (caption.startsWith(form.BaseCaption() + QLatin1String(" (Firmware v")) &&
                caption.endsWith(QLatin1Char(')'))));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    fixture = startConnectedTester(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Form1 &form = fixture->form();

    form.Echo->setChecked(false);
    deliver(bytes);

    form.Echo->setChecked(true);
    deliver(bytes);

    if (size > 1) {
        const qsizetype cut = 1 + qsizetype(data[size - 1]) % qsizetype(size - 1);
        deliver(bytes.left(cut));
        deliver(bytes.mid(cut));
    }
    return 0;
}
