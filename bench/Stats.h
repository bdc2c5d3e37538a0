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

// One value per round of a part, such as the ratio of a tester round to the baseline round
// next to it. The median of the rounds is the figure; the lowest and highest round show how
// far one round alone could have put it.
class Rounds {
public:
    void add(double value) { m_values.push_back(value); }
    int count() const { return int(m_values.size()); }
    const std::vector<double> &values() const { return m_values; }

    // The middle round, or the mean of the two middle ones; NaN without rounds.
    double median() const;
    double min() const;
    double max() const;

private:
    std::vector<double> m_values;
};
