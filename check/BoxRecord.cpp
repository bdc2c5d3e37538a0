#include "BoxRecord.h"

#include "CheckReport.h"
#include "HexText.h"

#include <QHostInfo>

namespace {

BoxRecord blankRecord(const CheckSettings &settings, const BoxLabel &label) {
    BoxRecord record;
    record.label = label;
    record.station = QHostInfo::localHostName();
    record.gpis = settings.gpis;
    record.settleMs = settings.settleMs;
    record.timeoutMs = settings.timeoutMs;
    return record;
}

} // namespace

QString BoxRecord::name() const {
    return label.unitId.isEmpty() ? QStringLiteral("%1:%2").arg(result.address).arg(result.port)
                                  : label.unitId;
}

BoxRecord RecordOf(const WiringCheck &check, const BoxLabel &label) {
    BoxRecord record = blankRecord(check.settings(), label);
    record.outcome = check.outcome();
    record.error = check.error();
    record.result = check.result();
    record.ended = record.result.started.addMSecs(record.result.elapsedNs / 1000000);
    if (check.outputsRestored())
        record.outputs = BoxRecord::Outputs::Restored;
    else if (check.outputsChanged())
        record.outputs = BoxRecord::Outputs::MaybeLeftChanged;
    return record;
}

BoxRecord NotStartedRecord(const CheckSettings &settings, const BoxLabel &label,
                           const QString &why) {
    BoxRecord record = blankRecord(settings, label);
    record.error = why;
    record.result.address = settings.address.toString();
    record.result.port = settings.port;
    record.result.map = settings.map.source;
    return record;
}

QString OutcomeWord(const BoxRecord &record) {
    switch (record.outcome) {
    case WiringCheck::Outcome::Pass:
        return QStringLiteral("pass");
    case WiringCheck::Outcome::Fail:
        return QStringLiteral("fail");
    case WiringCheck::Outcome::Running:
    case WiringCheck::Outcome::Error:
        break;
    }
    return QStringLiteral("error");
}

QString OutcomeText(const BoxRecord &record) {
    if (record.checked())
        return ResultLine(record.result);
    return QStringLiteral("not checked: %1; %2").arg(record.error, OutputsNote(record));
}

QString OutputsNote(const BoxRecord &record) {
    switch (record.outputs) {
    case BoxRecord::Outputs::Unchanged:
        break;
    case BoxRecord::Outputs::Restored:
        return QStringLiteral("the outputs were put back as they were (%1)")
            .arg(cli::gpiBytesText(record.result.outputsBefore));
    case BoxRecord::Outputs::MaybeLeftChanged:
        return QStringLiteral("the connection was gone before the outputs could be put back; "
                              "they may be left as the check set them");
    }
    return QStringLiteral("the outputs were not changed");
}

int ExitStatusOf(const BoxRecord &record) {
    switch (record.outcome) {
    case WiringCheck::Outcome::Pass:
        return 0;
    case WiringCheck::Outcome::Fail:
        return 1;
    case WiringCheck::Outcome::Running:
    case WiringCheck::Outcome::Error:
        break;
    }
    return 2;
}
