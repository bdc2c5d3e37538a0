#include "InputBounce.h"

#include "SimulatedDevice.h"
#include "WholeNumber.h"

namespace sim {

InputBounce::InputBounce(SimulatedDevice &device, int index, int toggles, QObject *parent)
    : QObject(parent), m_device(device), m_index(index), m_toggles(toggles) {
    m_timer.setInterval(GapMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &InputBounce::step);
}

void InputBounce::start() {
    m_left = m_toggles;
    step();
    if (m_left > 0)
        m_timer.start();
}

void InputBounce::step() {
    m_device.setInput(m_index, ((m_device.inputs() >> m_index) & 1u) != 0);
    if (--m_left <= 0)
        m_timer.stop();
}

ParsedBounce parseBounce(const QString &text) {
    ParsedBounce parsed;
    const QString number = text.section(u':', 0, 0);
    const QString toggles = text.section(u':', 1);
    const std::optional<int> gpi = cli::readWholeNumber(number, 1, 24);
    const std::optional<int> count = cli::readWholeNumber(toggles, 1, 1000);
    if (!text.contains(u':'))
        parsed.error = QStringLiteral("'%1' is not N:COUNT, e.g. 7:5").arg(text.left(40));
    else if (!gpi)
        parsed.error = cli::wholeNumberError(QStringLiteral("GPI"), number, 1, 24);
    else if (!count)
        parsed.error = cli::wholeNumberError(QStringLiteral("COUNT"), toggles, 1, 1000);
    parsed.index = gpi.value_or(1) - 1;
    parsed.toggles = count.value_or(0);
    return parsed;
}

} // namespace sim
