#pragma once

#include "BoxRecord.h"

#include <QByteArray>
#include <QList>

// The records as JUnit XML, the test report that CI and test-management tools read: a
// testsuites element with one testsuite per box (named by its unit id, else ADDRESS:PORT),
// one testcase per channel checked, whose failure message is the verdict in words, and an
// error testcase when the box could not be checked. The attributes are those of the common
// JUnit schema: name, tests, failures, errors, skipped, time, timestamp and hostname on each
// suite; name, classname and time on each case.
QByteArray JunitReport(const QList<BoxRecord> &records);
