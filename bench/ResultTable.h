#pragma once

#include "Stats.h"

#include <QString>
#include <QStringList>

#include <cmath>
#include <vector>

// One line of the benchmark's table: a figure with its median and 99th percentile over all
// rounds, the same for the baseline measured in the same run, the median of the rounds'
// ratios with their spread (lowest and highest round), and whether the goal was met.
struct ResultRow {
    enum class Met { NotJudged, Yes, No };

    QString figure;
    QString unit;
    double median = NAN;
    double p99 = NAN;
    double baseMedian = NAN;
    double baseP99 = NAN;
    QString ratio;
    QString spread;
    QString goal;
    Met met = Met::NotJudged;

    // A figure's median and p99.
    static ResultRow measured(const QString &figure, const QString &unit, const Summary &summary);
    // The same beside the baseline's.
    static ResultRow compared(const QString &figure, const QString &unit, const Summary &summary,
                              const Summary &baseline);
    // Shows the median of the rounds' ratios, figure over baseline, with their spread, and
    // returns the median.
    double showRatios(const Rounds &ratios);
    // Shows the lowest and highest of the rounds' own values of the figure, on a row whose
    // goal is not a ratio.
    void showSpread(const Rounds &values);
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
    // "1.21 to 1.48": the lowest and highest round, as ratios (two decimals) or in number()'s
    // form.
    static QString spreadText(const Rounds &rounds, bool ratios);

private:
    std::vector<ResultRow> m_rows;
    QStringList m_notes;
};
