#include "Frames.h"

QByteArray MakeGpiInputStatusRequest() { return QByteArray::fromHex("ff0001"); }
