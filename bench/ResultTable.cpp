#include "ResultTable.h"

#include <algorithm>

namespace {

const char *metText(ResultRow::Met met) {
    switch (met) {
    case ResultRow::Met::Yes:
        return "yes";
    case ResultRow::Met::No:
        return "NO";
    case ResultRow::Met::NotJudged:
        break;
    }
    return "";
}

} // namespace

ResultRow ResultRow::measured(const QString &figure, const QString &unit, const Summary &summary) {
    ResultRow row;
    row.figure = figure;
    row.unit = unit;
    row.median = summary.median;
    row.p99 = summary.p99;
    return row;
}

ResultRow ResultRow::compared(const QString &figure, const QString &unit, const Summary &summary,
                              const Summary &baseline) {
    ResultRow row = measured(figure, unit, summary);
    row.baseMedian = baseline.median;
    row.baseP99 = baseline.p99;
    return row;
}

double ResultRow::showRatios(const Rounds &ratios) {
    const double value = ratios.median();
    ratio = ResultTable::ratioText(value);
    spread = ResultTable::spreadText(ratios, true);
    return value;
}

void ResultRow::showSpread(const Rounds &values) {
    spread = ResultTable::spreadText(values, false);
}

void ResultRow::judge(const QString &goalText, bool goalMet) {
    goal = goalText;
    met = goalMet ? Met::Yes : Met::No;
}

QString ResultTable::number(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("-");
    const double magnitude = std::fabs(value);
    const int decimals = magnitude >= 100 ? 0 : magnitude >= 10 ? 1 : magnitude >= 1 ? 2 : 3;
    return QString::number(value, 'f', decimals);
}

QString ResultTable::ratioText(double value) {
    return std::isnan(value) || std::isinf(value) ? QStringLiteral("-")
                                                  : QString::number(value, 'f', 2) + u'x';
}

QString ResultTable::spreadText(const Rounds &rounds, bool ratios) {
    if (rounds.count() == 0)
        return QString();
    const auto text = [ratios](double value) {
        return ratios && std::isfinite(value) ? QString::number(value, 'f', 2) : number(value);
    };
    return text(rounds.min()) + QStringLiteral(" to ") + text(rounds.max());
}

void ResultTable::section(const QString &title) {
    ResultRow row;
    row.figure = title;
    m_rows.push_back(row);
}

QString ResultTable::text() const {
    const QStringList header = {QStringLiteral("Figure"),      QStringLiteral("unit"),
                                QStringLiteral("median"),      QStringLiteral("p99"),
                                QStringLiteral("base median"), QStringLiteral("base p99"),
                                QStringLiteral("ratio"),       QStringLiteral("spread"),
                                QStringLiteral("goal"),        QStringLiteral("met")};
    std::vector<QStringList> cells;
    cells.push_back(header);
    for (const ResultRow &row : m_rows) {
        if (row.unit.isEmpty() && std::isnan(row.median)) {
            cells.push_back({row.figure});
            continue;
        }
        cells.push_back({QStringLiteral("  ") + row.figure, row.unit, number(row.median),
                         number(row.p99), number(row.baseMedian), number(row.baseP99), row.ratio,
                         row.spread, row.goal, QLatin1String(metText(row.met))});
    }
    std::vector<qsizetype> width(header.size(), 0);
    for (const QStringList &line : cells) {
        if (line.size() == 1)
            continue;
        for (qsizetype i = 0; i < line.size(); ++i)
            width[i] = std::max(width[i], line[i].size());
    }
    QString out;
    for (std::size_t n = 0; n < cells.size(); ++n) {
        const QStringList &line = cells[n];
        QString text;
        for (qsizetype i = 0; i < line.size(); ++i) {
            // Text columns to the left, numbers to the right.
            const bool left = i == 0 || i == 1 || i >= 6;
            text += left ? line[i].leftJustified(width[i]) : line[i].rightJustified(width[i]);
            if (i + 1 < line.size())
                text += QStringLiteral("  ");
        }
        while (text.endsWith(u' '))
            text.chop(1);
        out += text + u'\n';
        if (n == 0) {
            qsizetype total = 0;
            for (qsizetype w : width)
                total += w + 2;
            out += QString(total - 2, u'-') + u'\n';
        }
    }
    for (const QString &note : m_notes)
        out += note + u'\n';
    return out;
}

int ResultTable::missedGoals() const {
    return int(std::count_if(m_rows.begin(), m_rows.end(),
                             [](const ResultRow &row) { return row.met == ResultRow::Met::No; }));
}
