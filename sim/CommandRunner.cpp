#include "CommandRunner.h"

#include "HexText.h"
#include "SimOptions.h"
#include "SimulatedDevice.h"

namespace sim {

namespace {

QString noTester() {
    return QStringLiteral("no tester connected: nothing sent");
}

QString inputsText(const SimulatedDevice &device) {
    const GpiBits bits = device.inputs();
    return QStringLiteral("inputs %1 (%2)").arg(cli::gpiBytesText(bits), describeGpiBits(bits));
}

QString afterInputChange(const SimulatedDevice &device, bool changed) {
    if (!changed)
        return inputsText(device) + QStringLiteral(", unchanged: nothing sent");
    return inputsText(device) + (device.hasConnection() ? QStringLiteral(", reported")
                                                        : QStringLiteral(", ") + noTester());
}

QString periodic(const QString &what, int milliseconds) {
    return milliseconds > 0 ? QStringLiteral("%1 every %2 ms").arg(what).arg(milliseconds)
                            : what + QStringLiteral(" off");
}

} // namespace

QString runCommand(SimulatedDevice &device, const SimCommand &command) {
    switch (command.kind) {
    case SimCommand::Nothing:
    case SimCommand::Quit:
        return QString();
    case SimCommand::Help:
        return helpText();
    case SimCommand::State:
        return device.stateText();
    case SimCommand::SetInputs:
        return afterInputChange(device, device.setInputs(command.bits));
    case SimCommand::SwitchInput: {
        GpiBits bits = device.inputs();
        for (const int index : command.numbers) {
            if (command.on)
                bits &= ~(1u << index);
            else
                bits |= 1u << index;
        }
        return afterInputChange(device, device.setInputs(bits));
    }
    case SimCommand::Report:
        if (!device.hasConnection())
            return noTester();
        device.reportInputs();
        return inputsText(device) + QStringLiteral(", reported");
    case SimCommand::ReportEvery:
        device.setReportPeriod(command.value);
        return periodic(QStringLiteral("input reports"), command.value);
    case SimCommand::Walk:
        if (command.count > 0)
            device.setWalkCount(command.count);
        device.setWalkPeriod(command.value);
        return command.value > 0 ? QStringLiteral("walk over %1 GPIs every %2 ms")
                                       .arg(device.walkCount())
                                       .arg(command.value)
                                 : QStringLiteral("walk off (it covers %1 GPIs when it runs)")
                                       .arg(device.walkCount());
    case SimCommand::Follow:
        device.setFollowOutputs(command.on);
        return command.on ? QStringLiteral("inputs follow the outputs")
                          : QStringLiteral("inputs no longer follow the outputs");
    case SimCommand::WireFaults: {
        const QList<WireFault> faults =
            command.faults.isEmpty() ? QList<WireFault>() : device.wireFaults() + command.faults;
        device.setWireFaults(faults);
        return QStringLiteral("wiring %1%2")
            .arg(describeWiring(faults), device.followOutputs()
                                             ? QString()
                                             : QStringLiteral(" (applies while follow is on)"));
    }
    case SimCommand::Loopback:
        device.setSerialLoopback(command.on);
        return command.on ? QStringLiteral("serial output comes back as serial input")
                          : QStringLiteral("serial loopback off");
    case SimCommand::Firmware:
        device.setFirmware(command.major, command.minor);
        return QStringLiteral("firmware %1.%2")
            .arg(command.major)
            .arg(command.minor, 2, 10, QLatin1Char('0'));
    case SimCommand::Send:
        return device.sendRaw(command.bytes) ? QString() : noTester();
    case SimCommand::Pace:
        device.setPace(command.value);
        return command.value > 0
                   ? QStringLiteral("at least %1 ms between frames sent").arg(command.value)
                   : QStringLiteral("frames go out as soon as they are due");
    case SimCommand::Split:
        device.splitNextFrame(command.value);
        return command.value > 0
                   ? QStringLiteral("the next frame goes out in two writes, %1 bytes first")
                         .arg(command.value)
                   : QStringLiteral("the next frame goes out in two writes, split in the middle");
    case SimCommand::SplitGap:
        device.setSplitGap(qMax(1, command.value));
        return QStringLiteral("the two writes of a split are %1 ms apart")
            .arg(qMax(1, command.value));
    case SimCommand::Coalesce:
        device.coalesceNextTwo();
        return QStringLiteral("the next frame waits for the one after it; both go out in one "
                              "write");
    case SimCommand::Delay:
        device.setAnswerDelay(command.value);
        return command.value > 0
                   ? QStringLiteral("every frame sent waits %1 ms first").arg(command.value)
                   : QStringLiteral("no delay");
    case SimCommand::Garbage:
        return device.sendGarbage() ? QString() : noTester();
    case SimCommand::Short:
        return device.sendShortFrame() ? QString() : noTester();
    case SimCommand::Close:
        return device.closeConnection() ? QString() : QStringLiteral("no tester connected");
    case SimCommand::Reset:
        return device.resetConnection() ? QString() : QStringLiteral("no tester connected");
    case SimCommand::StopListening:
        if (!device.isListening())
            return QStringLiteral("not listening");
        device.stopListening();
        return QString();
    case SimCommand::Listen:
        if (device.isListening())
            return QStringLiteral("already listening on %1:%2")
                .arg(device.serverAddress().toString())
                .arg(device.serverPort());
        return device.resumeListening()
                   ? QString()
                   : QStringLiteral("error: cannot listen again: ") + device.errorString();
    }
    return QString();
}

} // namespace sim
