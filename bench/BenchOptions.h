#pragma once

// How much each part of the benchmark does. Every part runs its tester rounds alternately
// with its baseline's and reports the median of the rounds' ratios. The defaults give each
// part an odd number of rounds, at least seven, each long enough to mean something alone, and
// keep the whole run to about two minutes on two cores. Short rounds pair a tester round
// with a baseline round under much the same load, so the parts that allow it take more and
// shorter rounds: the echo, the flood and the start-ups. --quick cuts everything down to a
// smoke run that only shows the parts work.
struct BenchOptions {
    int echoRounds = 11;
    int echoFramesPerRound = 300;
    int echoWarmup = 200;
    int echoGapMs = 1;
    int floodRounds = 9;
    int floodMs = 1000;
    int testAllRounds = 7;
    // Steps per round at the slider values 1, 10 and 333 ms: a second of walking or less,
    // except at 333 ms, where a round still holds a handful of steps (two seconds).
    int testAllSteps1ms = 300;
    int testAllSteps10ms = 100;
    int testAllSteps333ms = 6;
    int startupRounds = 15;

    static BenchOptions quick() {
        BenchOptions o;
        o.echoRounds = 2;
        o.echoFramesPerRound = 50;
        o.echoWarmup = 10;
        o.floodRounds = 1;
        o.floodMs = 200;
        o.testAllRounds = 1;
        o.testAllSteps1ms = 10;
        o.testAllSteps10ms = 10;
        o.testAllSteps333ms = 2;
        o.startupRounds = 1;
        return o;
    }
};
