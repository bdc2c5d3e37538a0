#pragma once

#include "GpiNames.h"

#include <QHostAddress>

// What the monitor watches and how, as the command line gives it.
struct MonSettings {
    QHostAddress address;
    quint16 port = 23;
    int gpis = 24;
    GpiNames names;
    bool outputs = false; // watch the outputs too
    bool serial = false;  // show serial input
    int minPulseMs = 0;   // 0: no pulse is short
    int heartbeatS = 0;   // 0: no heartbeat
    bool reconnect = false;
    int durationS = 0; // 0: until stopped
    int count = 0;     // edges to end after, 0: no limit

    // Time for the connection and the start state, and the quiet time after which the box
    // is asked for its inputs; a box quiet as long again is taken for gone.
    int quietMs = 5000;
    // How often the outputs are asked for when they are watched: the box reports its inputs
    // by itself, its outputs only when asked.
    int outputsPollMs = 1000;
};
