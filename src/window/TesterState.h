#pragma once

#include "platform/Clock.h"

#include <QtGlobal>

// Window-level state shared by every handler, in its declared order and types. Counter
// fields hold performance-counter readings in ticks; time-of-day fields hold seconds since
// local midnight.
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
    float LastArrivalTime = 0;
    float StatusTextTime = 0;
    double RequestSentCount = 0;
    double ResponseCount = 0;
};
