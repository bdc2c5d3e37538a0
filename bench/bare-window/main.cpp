// The start-up baseline: a bare Qt window of the tester's size with the two things the
// start-up benchmark looks for, a caption where the tester's first label stands and a text
// box where its connection state shows, and a 100 ms timer whose first tick writes into
// that box, as the tester's link-status timer does. It runs on the event loop the testers
// choose.
#include "platform/EventLoop.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

int main(int argc, char *argv[]) {
    chooseEventLoop();
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setFixedSize(496, 457);
    QLabel label(QStringLiteral("Vorn IP Address"), &window);
    label.setGeometry(8, 8, 89, 17);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QLineEdit state(&window);
    state.setGeometry(96, 56, 97, 19);
    state.setReadOnly(true);
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(100);
    QObject::connect(&tick, &QTimer::timeout, &state, [&state] {
        if (state.text().isEmpty())
            state.setText(QStringLiteral("Closed"));
    });
    tick.start();
    window.show();
    return app.exec();
}
