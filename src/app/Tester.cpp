#include "Tester.h"

#include "gpi/GpiOutputs.h"
#include "link/ConnectionControl.h"
#include "link/LinkStatus.h"
#include "protocol/ReceiveDispatcher.h"

Tester::Tester(DeviceSocket &socket, Clock &clock, LocalSerialPort &serial)
    : m_form(std::make_unique<Form1>(socket, clock, serial)),
      m_connection(new ConnectionControl(*m_form)), m_linkStatus(new LinkStatus(*m_form)),
      m_gpiOutputs(new GpiOutputs(*m_form)), m_receiveDispatcher(new ReceiveDispatcher(*m_form)) {
    m_form->Form_Load();
}

Tester::~Tester() = default;
