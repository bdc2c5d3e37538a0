#pragma once

#include "window/Form1.h"

#include <memory>

class BlastTest;
class ConnectionControl;
class EchoControl;
class GpiOutputs;
class LinkStatus;
class LogMenu;
class ReceiveDispatcher;
class SerialMessages;
class SessionRecord;
class TestAllSequencer;

// The whole tester: the window and every subsystem wired to its controls. Handlers are
// connected before start-up runs, so the window is live the moment it is shown. A session
// record, when given, follows the log from its first line on and is flushed at Disconnect.
class Tester {
public:
    Tester(DeviceSocket &socket, Clock &clock, LocalSerialPort &serial,
           SessionRecord *record = nullptr);
    ~Tester();

    Form1 &form() { return *m_form; }

    ConnectionControl &connection() { return *m_connection; }
    LinkStatus &linkStatus() { return *m_linkStatus; }
    GpiOutputs &gpiOutputs() { return *m_gpiOutputs; }
    ReceiveDispatcher &receiveDispatcher() { return *m_receiveDispatcher; }
    TestAllSequencer &testAll() { return *m_testAll; }
    EchoControl &echo() { return *m_echo; }
    BlastTest &blast() { return *m_blast; }
    SerialMessages &serialMessages() { return *m_serialMessages; }
    LogMenu &logMenu() { return *m_logMenu; }

private:
    std::unique_ptr<Form1> m_form;
    ConnectionControl *m_connection;
    LinkStatus *m_linkStatus;
    GpiOutputs *m_gpiOutputs;
    ReceiveDispatcher *m_receiveDispatcher;
    TestAllSequencer *m_testAll;
    EchoControl *m_echo;
    BlastTest *m_blast;
    SerialMessages *m_serialMessages;
    LogMenu *m_logMenu;
};
