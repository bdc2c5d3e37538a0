#pragma once

#include <QObject>

class Form1;

// Everything the device sends comes through here: each data-arrival notification is one
// frame, time-stamped, classified and turned into indicators, output buttons, caption,
// status bar text and one log line. GPI input messages go back to the device in echo mode.
class ReceiveDispatcher : public QObject {
    Q_OBJECT

public:
    explicit ReceiveDispatcher(Form1 &form);

    // bytesTotal is not used: everything the socket holds is fetched as the frame.
    void Vorn_DataArrival(qint64 bytesTotal);

private:
    void handleMessage(quint8 type, const QByteArray &frame);
    void serialInput(quint8 type);
    void gpiInput(const QByteArray &frame);
    void idResponse(const QByteArray &frame);
    void gpiOutputStatus(const QByteArray &frame);
    void showStatus(const QString &text);
    void renewStatusTime();

    Form1 &m_form;
};
