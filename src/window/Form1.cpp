#include "Form1.h"

#include "Layout.h"
#include "Stamps.h"
#include "platform/Clock.h"
#include "platform/DeviceSocket.h"
#include "platform/TimerResolution.h"
#include "platform/TimerWaker.h"
#include "protocol/Frames.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QVersionNumber>

#include <utility>

namespace {

const char *const AddressPresets[] = {"192.168.254.102", "192.168.254.104", "192.168.254.106",
                                      "10.0.0.128",      "10.0.0.130",      "10.0.0.132",
                                      "172.16.0.128"};

bool writesLatin(const QString &family) {
    return QFontDatabase::writingSystems(family).contains(QFontDatabase::Latin);
}

// The captions were laid out in Arial. Where it is missing, its metric-compatible twin stands in,
// so that every caption fits its box as designed.
QString designFamily() {
    const QString arial = QStringLiteral("Arial");
    const QString twin = QStringLiteral("Liberation Sans");
    return !writesLatin(arial) && writesLatin(twin) ? twin : arial;
}

QFont designFont(qreal pointSize, int weight = QFont::Normal) {
    QFont font(designFamily());
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Weight(weight));
    return font;
}

// The log's face: "Terminal" where the system has it. Elsewhere a fixed-pitch face sized by
// pixels to Terminal's cell at 13.5 pt: 18-pixel lines with characters about 10 pixels wide, so
// that the log shows as many rows and columns as designed.
QFont terminalFont() {
    if (QFontDatabase::families().contains(QStringLiteral("Terminal"))) {
        QFont font(QStringLiteral("Terminal"));
        font.setPointSizeF(13.5);
        return font;
    }
    QFont font(QStringLiteral("Liberation Mono"));
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(16);
    return font;
}

template <class Widget, class... Args>
Widget *make(QWidget *parent, const QString &name, Args &&...args) {
    auto *widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(name);
    return widget;
}

} // namespace

Form1::Form1(DeviceSocket &socket, Clock &clock, LocalSerialPort &serial, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint),
      Vorn(socket), Serial(serial), clock(clock) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("VORN GPI Tester"));
    setFont(designFont(8.25));
    setFixedSize(twipsToPixels(ClientWidthTwips), twipsToPixels(ClientHeightTwips));
    createControls();
    placeControls();
    centreOnScreen();
    // A held repaint is asked for again when its frame is due.
    m_nextFrame.setSingleShot(true);
    m_nextFrame.setTimerType(Qt::PreciseTimer);
    connect(&m_nextFrame, &QTimer::timeout, this, &Form1::requestFrame);
    connect(ListBox, &LogView::publishWanted, this, &Form1::requestFrame);
}

// Qt merges the requests that are still waiting into one.
void Form1::requestFrame() {
    QCoreApplication::postEvent(this, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}

bool Form1::event(QEvent *event) {
    if (event->type() == QEvent::UpdateRequest) {
        const qint64 since = m_sinceRepaint.isValid() ? m_sinceRepaint.elapsed() : LogView::FrameMs;
        if (since < LogView::FrameMs) {
            // Held: Qt keeps collecting what changed meanwhile and paints it all at once.
            if (!m_nextFrame.isActive())
                m_nextFrame.start(int(LogView::FrameMs - since));
            return true;
        }
        m_sinceRepaint.start();
        // One gate for the whole window: the log's new lines and the inputs are painted in
        // this frame too.
        catchUp();
    }
    return QWidget::event(event);
}

void Form1::showInputState(quint32 state) {
    if (!m_heldInputs)
        requestFrame();
    m_heldInputs = state;
}

void Form1::catchUp() {
    ListBox->catchUp();
    if (!m_heldInputs)
        return;
    const quint32 state = *std::exchange(m_heldInputs, std::nullopt);
    // Each set costs Qt's repaint request, accessibility event and signals; a walking input
    // changes two of the 24.
    for (int i = 0; i < GpiArraySize; ++i) {
        const bool on = GpiIsOn(state, i);
        if (GPI_In[i]->isChecked() != on)
            GPI_In[i]->setChecked(on);
    }
}

// Centres the whole window, frame included. The frame's size is known only once the window
// system has the window, so showing it centres it again.
void Form1::centreOnScreen() {
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize frame = frameGeometry().size();
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - frame.width()) / 2,
         area.y() + (area.height() - frame.height()) / 2);
}

void Form1::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!m_centred && !event->spontaneous()) {
        m_centred = true;
        centreOnScreen();
        // The window's first frame is the one the window system asks for when it exposes the
        // window. Counting it as a frame just painted lets the log's lines, with the face they
        // are measured and drawn in, wait for the next frame: the window shows sooner, and
        // its log follows a frame later at most.
        m_sinceRepaint.start();
    }
}

void Form1::createControls() {
    Vorn_Address_Label =
        make<QLabel>(this, "Vorn_Address_Label", QStringLiteral("Vorn IP Address"));
    Vorn_Address = make<QComboBox>(this, "Vorn_Address");
    Vorn_Address->setEditable(true);
    Vorn_Address->setInsertPolicy(QComboBox::NoInsert);
    Vorn_Port_Label = make<QLabel>(this, "Vorn_Port_Label", QStringLiteral("Vorn Port"));
    Vorn_Port = make<QLineEdit>(this, "Vorn_Port");
    Vorn_State_Label = make<QLabel>(this, "Vorn_State_Label", QStringLiteral("Connection State"));
    Vorn_State = make<QLineEdit>(this, "Vorn_State");
    Vorn_State->setReadOnly(true);
    // Label captions stand at the top left of their boxes.
    for (QLabel *label : {Vorn_Address_Label, Vorn_Port_Label, Vorn_State_Label})
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Connect = make<CommandButton>(this, "Connect", QStringLiteral("Connect"));
    Disconnect = make<CommandButton>(this, "Disconnect", QStringLiteral("Disconnect"));
    All_Off = make<CommandButton>(this, "All_Off", QStringLiteral("All Off"));
    All_On = make<CommandButton>(this, "All_On", QStringLiteral("All On"));
    GPI_Query_Inputs = make<CommandButton>(this, "GPI_Query_Inputs", QStringLiteral("Query In"));
    GPI_Query_Outputs = make<CommandButton>(this, "GPI_Query_Outputs", QStringLiteral("Query Out"));
    Test_All = make<CommandButton>(this, "Test_All", QStringLiteral("Test All"));
    Query_Firmware = make<CommandButton>(this, "Query_Firmware", QStringLiteral("Query FW"));
    BlastCount = make<QLineEdit>(this, "BlastCount");
    BlastCount->setText(QStringLiteral("256"));
    Blast = make<CommandButton>(this, "Blast", QStringLiteral("Blast"));
    for (QWidget *hidden : {static_cast<QWidget *>(BlastCount), static_cast<QWidget *>(Blast)}) {
        hidden->setEnabled(false);
        hidden->setVisible(false);
    }

    const QFont headingFont = designFont(12, QFont::Bold);
    GPI_In_Label = make<QLabel>(this, "GPI_In_Label", QStringLiteral("GPI Inputs"));
    GPI_In_Label->setFont(headingFont);
    GPI_In_Label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Echo = make<CheckBox>(this, "Echo", QStringLiteral("Echo"));
    Echo->setToolTip(QStringLiteral("Echos GPI Input to GPI Output"));
    // The arrow's shaft runs under the box, not through its caption.
    Echo->setAutoFillBackground(true);
    GPI_Out_Label = make<QLabel>(this, "GPI_Out_Label", QStringLiteral("GPI Outputs"));
    GPI_Out_Label->setFont(headingFont);
    GPI_Out_Label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Line1.twips = QLine(2640, 1440, 4560, 1440);
    Line2.twips = QLine(4440, 1560, 4560, 1440);
    Line3.twips = QLine(4440, 1320, 4560, 1440);

    for (int i = 0; i < GpiArraySize; ++i) {
        for (auto [array, name] : {std::pair{&GPI_In, "GPI_In"}, std::pair{&GPI_Out, "GPI_Out"}}) {
            CheckBox *box = make<CheckBox>(this, arrayName(name, i), QString());
            // Inputs and outputs share their captions; a screen reader tells them apart by this.
            box->setAccessibleDescription(
                QStringLiteral("GPI %1 %2").arg(array == &GPI_In ? "input" : "output").arg(i + 1));
            box->setEnabled(false);
            box->setFocusPolicy(Qt::NoFocus);
            (*array)[i] = box;
        }
    }
    // Unchecking a box that belongs to no group makes Qt search every child of the window for
    // an exclusive group it might be part of, at each input message. The indicators share a
    // group that is not exclusive, which spares that search and changes nothing else: they
    // take no focus, so the arrow-key movement within a group never applies to them.
    auto *indicators = new QButtonGroup(this);
    indicators->setExclusive(false);
    for (CheckBox *box : GPI_In)
        indicators->addButton(box);

    ListBox = make<LogView>(this, "ListBox");
    ListBox->setFont(terminalFont());

    StatusBar = make<QStatusBar>(this, "StatusBar");
    StatusBar->setSizeGripEnabled(false);
    // The slider is created after the status bar so that it stays on top where the two
    // overlap: it is an operator control, the status text only lives a quarter second.
    sldGPIInterval = make<QSlider>(this, "sldGPIInterval", Qt::Horizontal);
    sldGPIInterval->setRange(1, 1000);
    sldGPIInterval->setValue(333);
    sldGPIInterval->setSingleStep(1);
    sldGPIInterval->setPageStep(16);
    sldGPIInterval->setTickInterval(16);
    sldGPIInterval->setTickPosition(QSlider::TicksBelow);

    cmdBreakSerial = make<CommandButton>(this, "cmdBreakSerial", QStringLiteral("Break-Serial"));
    for (int i = 0; i < SerialPortCount; ++i)
        chkBreakSerial[i] = make<CheckBox>(this, arrayName("chkBreakSerial", i),
                                           QStringLiteral("Port %1").arg(i + 1));
    cmdSendSerial =
        make<CommandButton>(this, "cmdSendSerial", QStringLiteral("Send Serial Message"));
    cmdSendBreak = make<CommandButton>(this, "cmdSendBreak", QStringLiteral("Send Break"));

    createTimers();
}

void Form1::createTimers() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setTimerType(Qt::PreciseTimer);
    // Qt's event loop waits in whole milliseconds; a 1 ms walk ran 7-13 % slow without this.
    // Made with the timer, so that it sees each timeout before any handler does.
    m_timer2Waker = new TimerWaker(Timer2);
}

void Form1::placeControls() {
    QList<QWidget *> order;
    for (const LayoutEntry &row : layoutTable()) {
        auto *widget = findChild<QWidget *>(row.name, Qt::FindDirectChildrenOnly);
        Q_ASSERT(widget);
        widget->setGeometry(row.pixels());
        order.append(widget);
    }
    tabOrder.setDesignOrder(order);
}

QString Form1::BaseCaption() const {
    const QVersionNumber version =
        QVersionNumber::fromString(QCoreApplication::applicationVersion());
    return QStringLiteral("%1 v%2.%3.%4")
        .arg(QCoreApplication::applicationName())
        .arg(version.majorVersion())
        .arg(version.minorVersion())
        .arg(version.microVersion());
}

void Form1::Form_Load() {
    setWindowTitle(BaseCaption());
    state.GPICount =
        QCoreApplication::applicationName().left(9) == QLatin1String("VORN ZED8") ? 8 : 24;
    Timer1->stop();
    Timer2->stop();
    SetConnectedControls(true);
    tabOrder.moveTo(Disconnect, 0);
    for (const char *preset : AddressPresets)
        Vorn_Address->addItem(QLatin1String(preset));
    Vorn_Address->setCurrentIndex(0);
    Vorn_Port->setText(QStringLiteral("23"));
    Vorn.setRemoteHost(Vorn_Address->currentText());
    Vorn.setRemotePort(Vorn_Port->text().toInt());
    Timer1->setInterval(100);
    Timer2->setInterval(sldGPIInterval->value());
    for (int n = 1; n <= GpiArraySize; ++n) {
        const QString caption = QStringLiteral(" %1 (Pin %2)").arg(n).arg(n + 1);
        GPI_In[n - 1]->setText(caption);
        GPI_Out[n - 1]->setText(caption);
        tabOrder.moveTo(GPI_Out[n - 1], n);
        GPI_Out[n - 1]->setFocusPolicy(Qt::StrongFocus);
    }
    tabOrder.apply();
    Timer1->start();
    requestTimerResolution(1);
    state.GPIOutByte0 = 255;
    state.GPIOutByte1 = 255;
    state.GPIOutByte2 = 255;
    clock.queryPerformanceFrequency(state.CounterBuffer);
    state.CounterFrequency = CounterAsDouble(state.CounterBuffer.low, state.CounterBuffer.high);
    appendLog(TimerResolutionLine(state.CounterFrequency));
    state.ClosedTicks = 0;
}

void Form1::SetConnectedControls(bool connected) {
    Connect->setEnabled(!connected);
    All_Off->setEnabled(connected);
    All_On->setEnabled(connected);
    Test_All->setEnabled(connected);
    Test_All->setText(QStringLiteral("Test All"));
    Echo->setEnabled(connected);
    Echo->setChecked(false);
    // Unchecking Echo runs its handler, which unlocks All Off, All On and Test All; in the
    // disconnected layout they must end up locked all the same.
    All_Off->setEnabled(connected);
    All_On->setEnabled(connected);
    Test_All->setEnabled(connected);
    setLineVisible(Line1, connected);
    setLineVisible(Line2, connected);
    setLineVisible(Line3, connected);
    GPI_Query_Inputs->setEnabled(connected);
    GPI_Query_Outputs->setEnabled(connected);
    Query_Firmware->setEnabled(connected);
    Vorn_Address->setEnabled(!connected);
    Vorn_Port->setEnabled(!connected);
    // An input state still waiting for its frame belongs to the connection that ends or to
    // none: the indicators start cleared.
    m_heldInputs.reset();
    for (int k = 0; k < state.GPICount; ++k) {
        GPI_In[k]->setEnabled(connected);
        GPI_Out[k]->setEnabled(connected);
        GPI_In[k]->setChecked(false);
        GPI_Out[k]->setChecked(false);
    }
    sldGPIInterval->setEnabled(connected);
}

void Form1::appendLog(const QString &line) {
    ListBox->addItem(line);
    session.append(line);
}

void Form1::TrimTerminal() {
    ListBox->removeOldest(ListBox->count() - 100);
    // Selecting the newest line scrolls it into view.
    ListBox->setCurrentRow(ListBox->count() - 1);
}

double Form1::readCounter() {
    clock.queryPerformanceCounter(state.CounterBuffer);
    return CounterAsDouble(state.CounterBuffer.low, state.CounterBuffer.high);
}

double Form1::secondsSince(double counterReading) {
    const double now = readCounter();
    return state.CounterFrequency > 0 ? (now - counterReading) / state.CounterFrequency : 0.0;
}

QString Form1::standardPrefix() const {
    return StandardPrefix(state.ArrivalCount, state.ConnectCount, state.PrevArrivalCount,
                          state.CounterFrequency);
}

QString Form1::widePrefix() const {
    return WidePrefix(state.ArrivalCount, state.ConnectCount, state.PrevArrivalCount,
                      state.CounterFrequency);
}

QString Form1::responseTimeStamp() const {
    return ResponseTimeStamp(state.ResponseCount, state.RequestSentCount, state.CounterFrequency);
}

void Form1::setLineVisible(LineShape &line, bool visible) {
    if (line.visible == visible)
        return;
    line.visible = visible;
    update();
}

void Form1::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    for (const LineShape *line : {&Line1, &Line2, &Line3})
        if (line->visible)
            painter.drawLine(twipsToPixels(line->twips.x1()), twipsToPixels(line->twips.y1()),
                             twipsToPixels(line->twips.x2()), twipsToPixels(line->twips.y2()));
}
