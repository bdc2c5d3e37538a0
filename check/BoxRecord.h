#pragma once

#include "WiringCheck.h"

#include <QDateTime>
#include <QString>

// Who and where a check is made for, as the reports name it.
struct BoxLabel {
    QString unitId;       // empty: the box is named by its address and port
    QString operatorName; // empty: not given
};

// Everything known about one box's run, whatever its outcome: what every report is made from.
struct BoxRecord {
    enum class Outputs { Unchanged, Restored, MaybeLeftChanged };

    BoxLabel label;
    QString station; // the host name of the machine that made the check
    int gpis = 24;
    int settleMs = 0;
    int timeoutMs = 0;
    WiringCheck::Outcome outcome = WiringCheck::Outcome::Error;
    QString error; // why the box could not be checked
    Outputs outputs = Outputs::Unchanged;
    CheckResult result;
    QDateTime ended;

    bool checked() const { return outcome != WiringCheck::Outcome::Error; }
    // The unit id, else "ADDRESS:PORT".
    QString name() const;
};

// The record of a check that has finished.
BoxRecord RecordOf(const WiringCheck &check, const BoxLabel &label);
// The record of a box whose check never began, for the reason given.
BoxRecord NotStartedRecord(const CheckSettings &settings, const BoxLabel &label,
                           const QString &why);

// "pass", "fail" or "error".
QString OutcomeWord(const BoxRecord &record);
// "PASS", "FAIL: 3 of 24 channels" or "not checked: REASON; WHAT BECAME OF THE OUTPUTS".
QString OutcomeText(const BoxRecord &record);
// What became of the box's outputs, in words: "the outputs were put back as they were (FD FF
// FF)".
QString OutputsNote(const BoxRecord &record);
// The exit status a record stands for: 0 pass, 1 wiring faults, 2 not checked.
int ExitStatusOf(const BoxRecord &record);
