#include "Tester.h"

#include "SessionRecord.h"

#include "gpi/BlastTest.h"
#include "gpi/EchoControl.h"
#include "gpi/GpiOutputs.h"
#include "gpi/TestAllSequencer.h"
#include "link/ConnectionControl.h"
#include "link/LinkStatus.h"
#include "protocol/ReceiveDispatcher.h"
#include "serial/SerialMessages.h"
#include "window/LogMenu.h"

Tester::Tester(DeviceSocket &socket, Clock &clock, LocalSerialPort &serial, SessionRecord *record)
    : m_form(std::make_unique<Form1>(socket, clock, serial)),
      m_connection(new ConnectionControl(*m_form)), m_linkStatus(new LinkStatus(*m_form)),
      m_gpiOutputs(new GpiOutputs(*m_form)), m_receiveDispatcher(new ReceiveDispatcher(*m_form)),
      m_testAll(new TestAllSequencer(*m_form, *m_gpiOutputs)), m_echo(new EchoControl(*m_form)),
      m_blast(new BlastTest(*m_form)), m_serialMessages(new SerialMessages(*m_form)),
      m_logMenu(new LogMenu(*m_form)) {
    if (record) {
        record->follow(m_form->session);
        // After the connection control's handler, which logs "Disconnect".
        QObject::connect(m_form->Disconnect, &QPushButton::clicked, record, &SessionRecord::flush);
    }
    m_form->Form_Load();
}

// The subsystems hold references to the window, so they go first, while it is still whole:
// controls that are destroyed with the window still send events (a box losing its focus),
// and none of them may reach a handler of a window that is half gone.
Tester::~Tester() {
    delete m_logMenu;
    delete m_serialMessages;
    delete m_blast;
    delete m_echo;
    delete m_testAll;
    delete m_receiveDispatcher;
    delete m_gpiOutputs;
    delete m_linkStatus;
    delete m_connection;
}
