#pragma once

#include "gpi/BlastTest.h"
#include "gpi/EchoControl.h"
#include "gpi/GpiOutputs.h"
#include "gpi/TestAllSequencer.h"
#include "link/ConnectionControl.h"
#include "link/LinkStatus.h"
#include "protocol/ReceiveDispatcher.h"
#include "serial/SerialMessages.h"
#include "window/Form1.h"
#include "window/LogMenu.h"

class SessionRecord;

// The whole tester: the window and every subsystem wired to its controls. Handlers are
// connected before start-up runs, so the window is live the moment it is shown. A session
// record, when given, follows the log from its first line on and is flushed at Disconnect.
//
// The members are built in the order they are declared and destroyed in the reverse order:
// the window first, so that every subsystem finds its controls, and the subsystems are gone
// while the window is still whole (controls that are destroyed with it still send events,
// a box losing its focus, and none may reach a handler of a window that is half gone).
class Tester {
public:
    Tester(DeviceSocket &socket, Clock &clock, LocalSerialPort &serial,
           SessionRecord *record = nullptr);

    Form1 &form() { return m_form; }

    ConnectionControl &connection() { return m_connection; }
    LinkStatus &linkStatus() { return m_linkStatus; }
    GpiOutputs &gpiOutputs() { return m_gpiOutputs; }
    ReceiveDispatcher &receiveDispatcher() { return m_receiveDispatcher; }
    TestAllSequencer &testAll() { return m_testAll; }
    EchoControl &echo() { return m_echo; }
    BlastTest &blast() { return m_blast; }
    SerialMessages &serialMessages() { return m_serialMessages; }
    LogMenu &logMenu() { return m_logMenu; }

private:
    void followRecord(SessionRecord &record);

    Form1 m_form;
    ConnectionControl m_connection;
    LinkStatus m_linkStatus;
    GpiOutputs m_gpiOutputs;
    ReceiveDispatcher m_receiveDispatcher;
    TestAllSequencer m_testAll;
    EchoControl m_echo;
    BlastTest m_blast;
    SerialMessages m_serialMessages;
    LogMenu m_logMenu;
};
