#pragma once

#include "GpiNames.h"
#include "MonEvent.h"

#include <QFile>
#include <QString>

// A Value Change Dump of the lines, for logic-analyser viewers: one 1-bit wire per GPI
// (inputs, and outputs when watched), named as in the names file, in microseconds from the
// start state. Each event is written and flushed as it comes, so the file is whole whenever
// the program ends; while the link is down the lines are unknown (x).
class VcdWriter {
public:
    VcdWriter(int gpis, bool outputs, GpiNames names, QString version);

    bool open(const QString &path, QString *error);
    void write(const MonEvent &event);
    // A run that never saw the box still leaves a file a viewer opens: every line unknown.
    void finish();

    // The wire's name: the GPI's name with blanks as '_', or "in7" / "out7".
    static QString wireName(bool output, int number, const QString &name);

private:
    void header(const MonEvent &start);
    void values(const GpiState &state);
    void allUnknown();
    void at(qint64 elapsedUs);
    QByteArray id(bool output, int index) const;
    void flush();

    int m_gpis;
    bool m_outputs;
    GpiNames m_names;
    QString m_version;
    QFile m_file;
    QByteArray m_out;
    bool m_started = false;
    qint64 m_originUs = 0;
    qint64 m_lastUs = -1;
};
