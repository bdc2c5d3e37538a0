#pragma once

#include "TesterFixture.h"

#include <QApplication>

// The connected window a fuzz target drives, made once for the whole run: the real window on
// the offscreen platform with fake platform parts. Call it from LLVMFuzzerInitialize.
inline TesterFixture *startConnectedTester(int *argc, char ***argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    auto *fixture = new TesterFixture();
    fixture->connectNow();
    return fixture;
}
