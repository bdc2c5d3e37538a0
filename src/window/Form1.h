#pragma once

#include "Controls.h"
#include "LogView.h"
#include "SessionLog.h"
#include "TabOrder.h"
#include "TesterState.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLine>
#include <QLineEdit>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QWidget>

#include <array>
#include <optional>

class Clock;
class DeviceSocket;
class LocalSerialPort;
class TimerWaker;

// A straight line drawn on the window background, in twips.
struct LineShape {
    QLine twips;
    bool visible = true;
};

// The tester's one window. It owns every control, the two timers and the state record;
// the socket, clock and serial port are the platform's and outlive it. Subsystems reach
// the controls by their names and connect their handlers to the controls' signals.
class Form1 : public QWidget {
    Q_OBJECT

public:
    static constexpr int GpiArraySize = 24;
    static constexpr int SerialPortCount = 4;

    Form1(DeviceSocket &socket, Clock &clock, LocalSerialPort &serial, QWidget *parent = nullptr);

    // Start-up: brings every control into its first state and writes the first log line.
    void Form_Load();
    // Switches between the connected and the disconnected control layouts.
    void SetConnectedControls(bool connected);
    // Title and version, as the window caption shows them.
    QString BaseCaption() const;

    // The event log.
    void appendLog(const QString &line);
    void TrimTerminal();

    // Reads the performance counter into the state's buffer and returns it in ticks.
    double readCounter();
    // Seconds from a counter reading until now; 0 without a counter frequency.
    double secondsSince(double counterReading);
    // Prefixes for device traffic lines, from the state's counter fields.
    QString standardPrefix() const;
    QString widePrefix() const;
    QString responseTimeStamp() const;

    void setLineVisible(LineShape &line, bool visible);

    // Shows a GPI input state (a bit 0 is an input on) on the indicators GPI_In with the next
    // frame, when their repaint would come anyway: while a box streams messages only the last
    // state of each frame is set, and an indicator already in its state is left alone.
    void showInputState(quint32 state);
    // Brings what waits for the next frame (the log's new lines, the input state) into the
    // controls now.
    void catchUp();

    TesterState state;

    // Connection area.
    QLabel *Vorn_Address_Label;
    QComboBox *Vorn_Address;
    QLabel *Vorn_Port_Label;
    QLineEdit *Vorn_Port;
    QLabel *Vorn_State_Label;
    QLineEdit *Vorn_State;

    // Command buttons.
    CommandButton *Connect;
    CommandButton *Disconnect;
    CommandButton *All_Off;
    CommandButton *All_On;
    CommandButton *GPI_Query_Inputs;
    CommandButton *GPI_Query_Outputs;
    CommandButton *Test_All;
    CommandButton *Query_Firmware;
    QLineEdit *BlastCount;
    CommandButton *Blast;

    // GPI area.
    QLabel *GPI_In_Label;
    CheckBox *Echo;
    QLabel *GPI_Out_Label;
    LineShape Line1;
    LineShape Line2;
    LineShape Line3;
    std::array<CheckBox *, GpiArraySize> GPI_In{};
    std::array<CheckBox *, GpiArraySize> GPI_Out{};

    // Log and bottom edge.
    LogView *ListBox;
    // Every line of this run, beyond the hundred the log keeps.
    SessionLog session;
    QSlider *sldGPIInterval;
    QStatusBar *StatusBar;

    // Serial-port block, placed below the client area.
    CommandButton *cmdBreakSerial;
    std::array<CheckBox *, SerialPortCount> chkBreakSerial{};
    CommandButton *cmdSendSerial;
    CommandButton *cmdSendBreak;

    // Controls without a face.
    DeviceSocket &Vorn;
    LocalSerialPort &Serial;
    Clock &clock;
    QTimer *Timer1;
    QTimer *Timer2;

    TabOrder tabOrder;

    // What keeps Timer2's ticks on time (the walk's pace).
    TimerWaker &timer2Waker() { return *m_timer2Waker; }

protected:
    // Repaints come at most once per frame: while a device streams messages, every message
    // changes an indicator or the log, and Qt would repaint the window after each one.
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
    void createTimers();
    void requestFrame();
    void placeControls();
    void centreOnScreen();

    TimerWaker *m_timer2Waker = nullptr;
    bool m_centred = false;
    QElapsedTimer m_sinceRepaint;
    QTimer m_nextFrame;
    // The input state reported since the last frame, for showInputState.
    std::optional<quint32> m_heldInputs;
};
