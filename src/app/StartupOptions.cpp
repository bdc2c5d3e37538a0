#include "StartupOptions.h"

#include "Tester.h"
#include "link/ConnectionControl.h"

#include <QCommandLineParser>
#include <QEvent>

#include <cstdlib>

namespace {

// Presses a button once, as soon as it is enabled, from the event loop.
class PressWhenEnabled : public QObject {
public:
    explicit PressWhenEnabled(QAbstractButton *button) : QObject(button), m_button(button) {
        if (m_button->isEnabled())
            press();
        else
            m_button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == m_button && event->type() == QEvent::EnabledChange && m_button->isEnabled())
            press();
        return QObject::eventFilter(watched, event);
    }

private:
    void press() {
        m_button->removeEventFilter(this);
        // After the handler that enabled it has run to its end.
        QMetaObject::invokeMethod(m_button, &QAbstractButton::click, Qt::QueuedConnection);
        deleteLater();
    }

    QAbstractButton *m_button;
};

// The options both testers take, with Qt's own help and version options.
struct OptionSet {
    OptionSet() {
        parser.setApplicationDescription(QStringLiteral(
            "Tests a Vorn network GPI box over TCP. Without options the window starts with the "
            "first address preset and port 23."));
        parser.addOptions({address, port, connect, record});
    }

    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption address{
        QStringLiteral("address"),
        QStringLiteral("Puts <address> into the address box, as if typed there."),
        QStringLiteral("address")};
    const QCommandLineOption port{
        QStringLiteral("port"),
        QStringLiteral("Puts <port> into the port box, as if typed there; ports 4141 and 8000 "
                       "are refused as they are when typed."),
        QStringLiteral("port")};
    const QCommandLineOption connect{QStringLiteral("connect"),
                                     QStringLiteral("Presses Connect once the window is shown.")};
    const QCommandLineOption record{
        QStringLiteral("record"),
        QStringLiteral("Appends every log line to <file>, each after the local time with "
                       "milliseconds."),
        QStringLiteral("file")};
};

} // namespace

StartupOptions parseStartupOptions(const QStringList &arguments) {
    OptionSet set;
    QCommandLineParser &parser = set.parser;
    StartupOptions options;
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        options.outcome = StartupOptions::Outcome::Fail;
        const QString error = parser.errorText().isEmpty()
                                  ? QStringLiteral("Unexpected argument '%1'.")
                                        .arg(parser.positionalArguments().constFirst())
                                  : parser.errorText();
        options.text = error + QStringLiteral("\n\n") + parser.helpText();
        return options;
    }
    if (parser.isSet(QStringLiteral("help-all"))) {
        options.outcome = StartupOptions::Outcome::ShowFullHelp;
        return options;
    }
    if (parser.isSet(set.help)) {
        options.outcome = StartupOptions::Outcome::ShowHelp;
        options.text = parser.helpText();
        return options;
    }
    if (parser.isSet(set.version)) {
        options.outcome = StartupOptions::Outcome::ShowVersion;
        options.text = QCoreApplication::applicationName() + QLatin1Char(' ') +
                       QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return options;
    }
    if (parser.isSet(set.address))
        options.address = parser.value(set.address);
    if (parser.isSet(set.port))
        options.port = parser.value(set.port);
    options.connect = parser.isSet(set.connect);
    if (parser.isSet(set.record))
        options.record = parser.value(set.record);
    return options;
}

void showFullHelp(const QStringList &arguments) {
    OptionSet set;
    set.parser.process(arguments);
    std::exit(EXIT_SUCCESS);
}

void applyStartupOptions(const StartupOptions &options, Tester &tester) {
    Form1 &form = tester.form();
    if (options.address)
        form.Vorn_Address->setEditText(*options.address);
    if (options.port) {
        form.Vorn_Port->setText(*options.port);
        // What leaving the box after typing runs.
        tester.connection().Vorn_Port_LostFocus();
    }
    if (options.connect)
        new PressWhenEnabled(form.Connect);
}
