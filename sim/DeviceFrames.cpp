#include "DeviceFrames.h"

#include "HexText.h"

#include <QStringList>

namespace sim {

namespace {

QByteArray message(quint8 type, const QByteArray &payload) {
    QByteArray frame;
    frame.reserve(4 + payload.size());
    frame.append(char(0xFF)).append(char(0x00)).append(char(CodeMessage)).append(char(type));
    frame.append(payload);
    return frame;
}

QByteArray stateBytes(GpiBits bits) {
    return QByteArray{} + char(bits & 0xFF) + char((bits >> 8) & 0xFF) + char((bits >> 16) & 0xFF);
}

// Runs of consecutive GPI numbers, "1-3, 12".
QString numberRuns(const QList<int> &numbers) {
    QStringList parts;
    for (qsizetype i = 0; i < numbers.size();) {
        qsizetype j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1)
            ++j;
        parts << (j > i ? QStringLiteral("%1-%2").arg(numbers[i]).arg(numbers[j])
                        : QString::number(numbers[i]));
        i = j + 1;
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace

QByteArray gpiInputMessage(GpiBits inputs) {
    return message(TypeGpiInput, stateBytes(inputs));
}

QByteArray gpiOutputStatusMessage(GpiBits outputs) {
    return message(TypeGpiOutputStatus, stateBytes(outputs));
}

QByteArray idResponse(quint8 major, quint8 minor) {
    return message(TypeIdResponse, QByteArray{} + char(minor) + char(major));
}

QByteArray serialInputMessage(int portIndex, const QByteArray &data) {
    return message(quint8(portIndex), data);
}

GpiBits gpiBitsAt(const QByteArray &frame, int offset) {
    return GpiBits(quint8(frame.at(offset))) | GpiBits(quint8(frame.at(offset + 1))) << 8 |
           GpiBits(quint8(frame.at(offset + 2))) << 16;
}

QString describeGpiBits(GpiBits bits) {
    QList<int> on;
    for (int i = 0; i < 24; ++i) {
        if (!(bits & (1u << i)))
            on << i + 1;
    }
    if (on.isEmpty())
        return QStringLiteral("all off");
    if (on.size() == 24)
        return QStringLiteral("all on");
    return QStringLiteral("on ") + numberRuns(on);
}

QString describePortMask(quint8 mask) {
    QList<int> ports;
    for (int i = 0; i < SerialPortCount; ++i) {
        if (mask & (1u << i))
            ports << i + 1;
    }
    QString text = ports.isEmpty() ? QStringLiteral("no port")
                   : ports.size() == 1
                       ? QStringLiteral("port %1").arg(ports.front())
                       : QStringLiteral("ports ") +
                             numberRuns(ports).replace(QLatin1Char('-'), QStringLiteral(" to "));
    if (mask & 0xF0)
        text += QStringLiteral(" (mask bits 4-7 set, which are no ports)");
    return text;
}

QString hexBytes(const QByteArray &bytes, int maxBytes) {
    const qsizetype shown = qMin<qsizetype>(bytes.size(), maxBytes);
    QString text = cli::hexText(bytes.left(shown));
    if (shown < bytes.size())
        text += QStringLiteral(" ... (+%1 bytes)").arg(bytes.size() - shown);
    return text;
}

QString printableText(const QByteArray &bytes, int maxChars) {
    QString text;
    for (const char c : bytes) {
        if (text.size() >= maxChars) {
            text += QStringLiteral("...");
            break;
        }
        const auto u = quint8(c);
        if (u == '\r')
            text += QStringLiteral("\\r");
        else if (u == '\n')
            text += QStringLiteral("\\n");
        else if (u == '\\')
            text += QStringLiteral("\\\\");
        else if (u == '"')
            text += QStringLiteral("\\\"");
        else if (u >= 0x20 && u < 0x7F)
            text += QLatin1Char(char(u));
        else
            text +=
                QStringLiteral("\\x") + QString::number(u, 16).toUpper().rightJustified(2, u'0');
    }
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString describeDeviceFrame(const QByteArray &frame) {
    const QString rejected = QStringLiteral("not a message: the tester rejects it at byte %1");
    if (frame.isEmpty() || quint8(frame.at(0)) != 0xFF)
        return rejected.arg(1);
    if (frame.size() < 2 || frame.at(1) != 0)
        return rejected.arg(2);
    if (frame.size() < 3 || frame.at(2) != 0)
        return rejected.arg(3);
    if (frame.size() < 4 || quint8(frame.at(3)) > TypeGpiOutputStatus)
        return rejected.arg(4);
    const auto type = quint8(frame.at(3));
    if (type < SerialPortCount) {
        return QStringLiteral("serial input, port %1, %2 bytes %3")
            .arg(type + 1)
            .arg(frame.size() - 4)
            .arg(printableText(frame.mid(4)));
    }
    const QString shortFrame = QStringLiteral("short %1 (%2 bytes, needs %3)");
    const QString extra = frame.size() > (type == TypeIdResponse ? 6 : 7)
                              ? QStringLiteral(" + %1 more bytes")
                                    .arg(frame.size() - (type == TypeIdResponse ? 6 : 7))
                              : QString();
    if (type == TypeIdResponse) {
        if (frame.size() < 6)
            return shortFrame.arg(QStringLiteral("ID response")).arg(frame.size()).arg(6);
        return QStringLiteral("ID response, firmware v%1.%2")
                   .arg(quint8(frame.at(5)))
                   .arg(quint8(frame.at(4)), 2, 10, QLatin1Char('0')) +
               extra;
    }
    const QString name = type == TypeGpiInput ? QStringLiteral("GPI input message")
                                              : QStringLiteral("GPI output status message");
    if (frame.size() < 7)
        return shortFrame.arg(name).arg(frame.size()).arg(7);
    return name + QStringLiteral(", ") + describeGpiBits(gpiBitsAt(frame)) + extra;
}

} // namespace sim
