#pragma once

#include <QtGlobal>

// What became of one line at a change: its new state, how long it was in the one before
// (the pulse width) and its edges so far.
struct Change {
    bool on = false;
    qint64 widthUs = 0;
    // The previous state began before the monitor saw the line: it lasted at least widthUs.
    bool widthAtLeast = false;
    // The change happened while the link was down; it was not seen, and has no width.
    bool unseen = false;
    bool isShort = false; // a pulse shorter than the minimum
    int edges = 0;
};

// Shortest and longest time of a state, in microseconds; none until one ended in view.
struct Span {
    qint64 shortestUs = -1;
    qint64 longestUs = -1;

    void add(qint64 us);
    bool seen() const { return shortestUs >= 0; }
};

// One GPI line as the monitor follows it: its state, since when, and its counts.
class LineTally {
public:
    // The state read at the start; edges are counted from here.
    void start(bool on, qint64 nowUs);
    // An edge seen as it came; pulses shorter than minPulseUs (when above 0) are short.
    Change move(bool on, qint64 nowUs, qint64 minPulseUs);
    // A change found after a gap in the link: counted, but its time is not known.
    Change jump(bool on, qint64 nowUs);

    bool on() const { return m_on; }
    int edges() const { return m_edges; }
    int shortPulses() const { return m_shortPulses; }
    const Span &onTimes() const { return m_onTimes; }
    const Span &offTimes() const { return m_offTimes; }

private:
    bool m_on = false;
    qint64 m_sinceUs = 0;
    bool m_sinceKnown = false; // the state began in view
    int m_edges = 0;
    int m_shortPulses = 0;
    Span m_onTimes;
    Span m_offTimes;
};
