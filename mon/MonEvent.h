#pragma once

#include "LineTally.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The lines of the box: the inputs, and the outputs when they are watched.
struct GpiState {
    QString firmware;    // "2.05"
    quint32 inputs = 0;  // active low, bit i = GPI index i
    quint32 outputs = 0; // active low
    bool withOutputs = false;
    int gpis = 24;
};

// What one moved line did over the run.
struct LineSummary {
    bool output = false;
    int number = 0;
    QString name;
    int edges = 0;
    Span onTimes;
    Span offTimes;
    int shortPulses = 0;
};

struct RunSummary {
    qint64 watchedUs = 0;
    int edges = 0;
    qint64 reports = 0;   // GPI status messages read
    qint64 unchanged = 0; // of them, those that changed nothing
    qint64 skippedBytes = 0;
    int linksLost = 0;
    QString end; // what ended the run: "interrupted by SIGINT", "--duration", ...
    QList<LineSummary> lines;
};

// One thing the monitor has to tell, in the order it happened. Each kind fills its part.
struct MonEvent {
    enum Kind { State, Edge, Serial, LinkLost, LinkBack, Heartbeat, Summary };

    Kind kind = State;
    QDateTime time;       // local time of day
    qint64 elapsedUs = 0; // since the monitor started, on the steady clock

    GpiState state; // State, Heartbeat

    // Edge
    bool output = false;
    int number = 0;
    QString name;
    Change change;
    qint64 minPulseUs = 0;

    // Serial
    int port = 0; // 1 to 4
    QByteArray data;

    // LinkLost: why, and when the next try is (0: none); LinkBack: seconds down
    QString reason;
    int seconds = 0;

    RunSummary summary;
};
