#include "Stats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

double percentile(const std::vector<double> &sorted, double p) {
    if (sorted.empty())
        return 0;
    const auto rank = std::size_t(std::ceil(p / 100.0 * double(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

Summary summarise(std::vector<double> values) {
    Summary s;
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    s.count = int(values.size());
    s.mean = std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
    s.median = percentile(values, 50);
    s.p1 = percentile(values, 1);
    s.p99 = percentile(values, 99);
    s.max = values.back();
    return s;
}

double Rounds::median() const {
    if (m_values.empty())
        return NAN;
    std::vector<double> sorted = m_values;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t middle = sorted.size() / 2;
    return sorted.size() % 2 == 1 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

double Rounds::min() const {
    return m_values.empty() ? NAN : *std::min_element(m_values.begin(), m_values.end());
}

double Rounds::max() const {
    return m_values.empty() ? NAN : *std::max_element(m_values.begin(), m_values.end());
}
