#pragma once

#include "platform/Clock.h"

#include <QtGlobal>

// Window-level state shared by every handler, in its declared order. Counter fields and the
// two times hold performance-counter readings in ticks: the ages of the last arrival and of
// the status-bar text are measured on that steady clock, which a change of the date or of
// the time of day does not move.
struct TesterState {
    quint8 TestIndex = 0;
    quint8 GPIOutByte0 = 0;
    quint8 GPIOutByte1 = 0;
    quint8 GPIOutByte2 = 0;
    qint16 ClosedTicks = 0;
    qint16 ConnectedTicks = 0;
    CounterHalves CounterBuffer;
    double CounterFrequency = 0;
    double ConnectCount = 0;
    double ArrivalCount = 0;
    double PrevArrivalCount = 0;
    quint8 GPICount = 0;
    double LastArrivalTime = 0;
    double StatusTextTime = 0;
    double RequestSentCount = 0;
    double ResponseCount = 0;
};
