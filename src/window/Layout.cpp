#include "Layout.h"

#include <algorithm>
#include <stdexcept>

QString arrayName(const char *array, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(index);
}

namespace {

std::vector<LayoutEntry> buildTable() {
    std::vector<LayoutEntry> rows = {
        {"Vorn_Address_Label", 120, 120, 1335, 255, 12},
        {"Vorn_Address", 1440, 120, 1695, 330, 62},
        {"Vorn_Port_Label", 120, 480, 1335, 255, 13},
        {"Vorn_Port", 1440, 480, 1455, 285, 10},
        {"Vorn_State_Label", 120, 840, 1335, 255, 14},
        {"Vorn_State", 1440, 840, 1455, 285, 11},
        {"Connect", 3240, 120, 975, 375, 59},
        {"Disconnect", 3240, 600, 975, 375, 0},
        {"All_Off", 4320, 120, 615, 375, 56},
        {"All_On", 4320, 600, 615, 375, 57},
        {"GPI_Query_Inputs", 5040, 120, 975, 375, 61},
        {"GPI_Query_Outputs", 5040, 600, 975, 375, 73},
        {"Test_All", 6120, 120, 975, 375, 58},
        {"Query_Firmware", 6120, 600, 975, 375, 74},
        {"BlastCount", 5040, 1080, 975, 285, 72},
        {"Blast", 6120, 1080, 975, 375, 71},
        {"GPI_In_Label", 120, 1320, 3495, 375, 54},
        {"Echo", 3240, 1320, 735, 210, 63},
        {"GPI_Out_Label", 3720, 1320, 3495, 375, 55},
        {"ListBox", 120, 3720, 7215, 2760, 60},
        {"sldGPIInterval", 240, 6600, 7095, 495, 64},
        {"StatusBar", 0, 6600, 7440, 255, 76},
        {"cmdBreakSerial", 240, 7200, 1815, 375, 75},
        {"chkBreakSerial(0)", 5160, 7200, 855, 210, 67},
        {"chkBreakSerial(1)", 5160, 7440, 855, 210, 68},
        {"chkBreakSerial(2)", 5160, 7680, 855, 210, 69},
        {"chkBreakSerial(3)", 5160, 7920, 855, 210, 70},
        {"cmdSendSerial", 6120, 7200, 1095, 495, 66},
        {"cmdSendBreak", 6120, 7800, 1095, 375, 65},
    };

    // The 48 GPI boxes: three columns of eight on each side. They fill the tab positions
    // that the named controls leave free, inputs first.
    std::vector<bool> taken(rows.size() + 48, false);
    for (const LayoutEntry &row : rows)
        taken[row.tabIndex] = true;
    int freeTab = 0;
    auto nextFreeTab = [&] {
        while (taken[freeTab])
            ++freeTab;
        taken[freeTab] = true;
        return freeTab;
    };
    for (int i = 0; i < 24; ++i) {
        const int height = i < 3 ? 315 : 255;
        rows.push_back({arrayName("GPI_In", i), 120 + 1200 * (i / 8), 1680 + 240 * (i % 8), 1215,
                        height, nextFreeTab()});
    }
    for (int i = 0; i < 24; ++i)
        rows.push_back({arrayName("GPI_Out", i), 3720 + 1200 * (i / 8), 1680 + 240 * (i % 8), 1215,
                        255, nextFreeTab()});

    std::sort(rows.begin(), rows.end(),
              [](const LayoutEntry &a, const LayoutEntry &b) { return a.tabIndex < b.tabIndex; });
    return rows;
}

} // namespace

const std::vector<LayoutEntry> &layoutTable() {
    static const std::vector<LayoutEntry> table = buildTable();
    return table;
}

const LayoutEntry &layoutOf(const QString &name) {
    for (const LayoutEntry &row : layoutTable())
        if (row.name == name)
            return row;
    throw std::out_of_range("no control named " + name.toStdString());
}
