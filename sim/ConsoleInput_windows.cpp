#include "ConsoleInput.h"

#include <QMutex>

#include <memory>
#include <thread>

#include <windows.h>

namespace {

// Where the reading thread hands its chunks: the object to queue them for, until it goes.
struct Handover {
    QMutex mutex;
    QObject *target = nullptr;
};

class Relay : public QObject {
public:
    Relay(std::shared_ptr<Handover> handover, QObject *parent)
        : QObject(parent), m_handover(std::move(handover)) {
        m_handover->target = this;
    }
    ~Relay() override {
        QMutexLocker lock(&m_handover->mutex);
        m_handover->target = nullptr;
    }

private:
    std::shared_ptr<Handover> m_handover;
};

} // namespace

// A console or pipe handle cannot be watched like a socket, so a thread of its own reads
// standard input with blocking reads and queues each chunk for this object's thread. The
// thread is left to the end of the process, which may find it still waiting in a read.
void ConsoleInput::startReading() {
    auto handover = std::make_shared<Handover>();
    m_reader = new Relay(handover, this);
    auto deliver = [this, handover](const QByteArray &chunk) {
        QMutexLocker lock(&handover->mutex);
        if (handover->target)
            QMetaObject::invokeMethod(
                handover->target, [this, chunk] { take(chunk); }, Qt::QueuedConnection);
    };
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) {
        deliver(QByteArray());
        return;
    }
    std::thread([input, deliver] {
        char chunk[4096];
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(input, chunk, sizeof(chunk), &got, nullptr) || got == 0) {
                deliver(QByteArray());
                return;
            }
            deliver(QByteArray(chunk, int(got)));
        }
    }).detach();
}
