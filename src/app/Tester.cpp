#include "Tester.h"

#include "SessionRecord.h"

Tester::Tester(DeviceSocket &socket, Clock &clock, LocalSerialPort &serial, SessionRecord *record)
    : m_form(socket, clock, serial), m_connection(m_form), m_linkStatus(m_form),
      m_gpiOutputs(m_form), m_receiveDispatcher(m_form), m_testAll(m_form, m_gpiOutputs),
      m_echo(m_form), m_blast(m_form), m_serialMessages(m_form), m_logMenu(m_form) {
    if (record)
        followRecord(*record);
    m_form.Form_Load();
}

void Tester::followRecord(SessionRecord &record) {
    record.follow(m_form.session);
    // Connected after the connection control's own handler, which logs "Disconnect" that
    // the flush must take along: Qt calls a signal's slots in the order they were connected.
    QObject::connect(m_form.Disconnect, &QPushButton::clicked, &record, &SessionRecord::flush);
}
