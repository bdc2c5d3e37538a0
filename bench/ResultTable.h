#pragma once

#include "Stats.h"

#include <QString>
#include <QStringList>

#include <cmath>
#include <vector>

// One line of the benchmark's table: a figure with its median and 99th percentile, the same
// for the baseline measured in the same run, the ratio and whether the goal was met.
struct ResultRow {
    enum class Met { NotJudged, Yes, No };

    QString figure;
    QString unit;
    double median = NAN;
    double p99 = NAN;
    double baseMedian = NAN;
    double baseP99 = NAN;
    QString ratio;
    QString goal;
    Met met = Met::NotJudged;

    // A figure's median and p99.
    static ResultRow measured(const QString &figure, const QString &unit, const Summary &summary);
    // The same beside the baseline's.
    static ResultRow compared(const QString &figure, const QString &unit, const Summary &summary,
                              const Summary &baseline);
    // Shows the ratio of the medians, figure over baseline, and returns it.
    double showMedianRatio();
    void judge(const QString &goalText, bool goalMet);
};

// The table as it is printed: a header, a rule, one line per row and the notes under it.
class ResultTable {
public:
    void add(const ResultRow &row) { m_rows.push_back(row); }
    void note(const QString &text) { m_notes << text; }
    void section(const QString &title);

    QString text() const;
    int missedGoals() const;
    bool isEmpty() const { return m_rows.empty(); }

    // "1.23", "45.6", "789": three significant digits, no fewer than the integer part.
    static QString number(double value);
    static QString ratioText(double value);

private:
    std::vector<ResultRow> m_rows;
    QStringList m_notes;
};
