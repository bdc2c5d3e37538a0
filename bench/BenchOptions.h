#pragma once

// How much each part of the benchmark does. The defaults are the full run; --quick cuts
// everything down to a smoke run that only shows the parts work.
struct BenchOptions {
    int echoFrames = 2000;
    int echoWarmup = 200;
    int echoRounds = 4;
    int echoGapMs = 1;
    int floodMs = 2000;
    int floodRounds = 3;
    int testAllSteps = 200;
    int testAllSlowSteps = 20;
    int startupRuns = 12;

    static BenchOptions quick() {
        BenchOptions o;
        o.echoFrames = 100;
        o.echoWarmup = 10;
        o.echoRounds = 2;
        o.floodMs = 200;
        o.floodRounds = 1;
        o.testAllSteps = 10;
        o.testAllSlowSteps = 2;
        o.startupRuns = 1;
        return o;
    }
};
