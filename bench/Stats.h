#pragma once

#include <vector>

// Order statistics of a sample: nearest-rank percentiles, so a p99 of 200 values is the
// second largest and never an interpolation between two.
struct Summary {
    int count = 0;
    double mean = 0;
    double median = 0;
    double p1 = 0;
    double p99 = 0;
    double max = 0;
};

Summary summarise(std::vector<double> values);
double percentile(const std::vector<double> &sorted, double p);
