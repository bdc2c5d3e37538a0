#pragma once

#include <QByteArray>

// Builders for every frame the tester sends, and the classifier for what arrives.
QByteArray MakeGpiInputStatusRequest();
