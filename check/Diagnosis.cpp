#include "Diagnosis.h"

namespace {

// "input 9", "inputs 9 and 10", "inputs 9, 10 and 12".
QString inputsText(const QList<int> &indices) {
    QStringList numbers;
    for (const int index : indices)
        numbers << QString::number(index + 1);
    if (numbers.size() == 1)
        return QStringLiteral("input ") + numbers.front();
    const QString last = numbers.takeLast();
    return QStringLiteral("inputs %1 and %2").arg(numbers.join(QStringLiteral(", ")), last);
}

} // namespace

ChannelVerdict Diagnose(const Channel &channel, const Observations &seen, int gpis) {
    ChannelVerdict verdict;
    const quint32 checked = gpis >= 32 ? ~0u : (1u << gpis) - 1;
    const quint32 own = 1u << channel.input;
    const quint32 stuck = seen.allOff & checked;
    const quint32 lit = seen.outputOn & checked;
    // Inputs this output lights besides its own, leaving out those that are on anyway.
    QList<int> others;
    for (int i = 0; i < gpis; ++i) {
        if (lit & (1u << i))
            verdict.inputsSeen << i;
        if (i != channel.input && (lit & ~stuck & (1u << i)))
            others << i;
    }
    const QString output = QString::number(channel.output + 1);
    const QString input = QString::number(channel.input + 1);

    if (stuck & own) {
        verdict.faults |= StuckOn;
        verdict.findings
            << QStringLiteral("stuck on: input %1 is on with every output off").arg(input);
    } else if (!(lit & own)) {
        if (others.isEmpty()) {
            verdict.faults |= Open;
            verdict.findings << QStringLiteral("open: input %1 never follows output %2%3")
                                    .arg(input, output,
                                         (seen.allOn & own)
                                             ? QStringLiteral(", though another output lights it")
                                             : QString());
        } else {
            verdict.faults |= Crossed;
            verdict.findings
                << QStringLiteral("crossed: output %1 drives %2").arg(output, inputsText(others));
        }
        return verdict;
    }
    if (!others.isEmpty()) {
        verdict.faults |= Shorted;
        verdict.findings
            << QStringLiteral("shorted: output %1 also drives %2").arg(output, inputsText(others));
    }
    return verdict;
}

QString VerdictText(const ChannelVerdict &verdict) {
    return verdict.ok() ? QStringLiteral("OK") : verdict.findings.join(QStringLiteral("; "));
}

QStringList FaultNames(unsigned faults) {
    QStringList names;
    if (faults & StuckOn)
        names << QStringLiteral("stuck on");
    if (faults & Open)
        names << QStringLiteral("open");
    if (faults & Crossed)
        names << QStringLiteral("crossed");
    if (faults & Shorted)
        names << QStringLiteral("shorted");
    return names;
}
