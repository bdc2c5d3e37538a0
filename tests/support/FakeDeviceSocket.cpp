#include "FakeDeviceSocket.h"
