#include "StandardStreams.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

namespace cli {

namespace {

void write(FILE *stream, const QString &text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

void writeOut(const QString &text) {
    write(stdout, text);
}

void writeErr(const QString &text) {
    write(stderr, text);
}

void complain(const QString &text) {
    writeErr(QStringLiteral("%1: %2\n").arg(QCoreApplication::applicationName(), text));
}

bool outputIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

} // namespace cli
