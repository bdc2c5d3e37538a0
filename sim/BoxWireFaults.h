#pragma once

#include <QString>
#include <QStringList>

namespace sim {

// The --wire-fault values of a simulator serving several boxes: "3:cross:7,9" is a fault of
// box 3 alone (boxes counted from 1 on consecutive ports), "cross:7,9" one of every box.
// The fault texts for box (from 1), in the order given, without their box numbers.
QStringList wireFaultsOfBox(const QStringList &values, int box);

// Empty when every value names a box from 1 to boxes or none; else what is wrong. The fault
// texts themselves are checked as the wire-fault command checks them.
QString checkBoxNumbers(const QStringList &values, int boxes);

} // namespace sim
