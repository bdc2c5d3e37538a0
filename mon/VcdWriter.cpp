#include "VcdWriter.h"

#include "EventText.h"
#include "protocol/Frames.h"

VcdWriter::VcdWriter(int gpis, bool outputs, GpiNames names, QString version)
    : m_gpis(gpis), m_outputs(outputs), m_names(std::move(names)), m_version(std::move(version)) {}

bool VcdWriter::open(const QString &path, QString *error) {
    m_file.setFileName(path);
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return true;
    *error = QStringLiteral("--vcd: cannot write %1: %2").arg(path, m_file.errorString());
    return false;
}

QString VcdWriter::wireName(bool output, int number, const QString &name) {
    if (name.isEmpty())
        return QStringLiteral("%1%2")
            .arg(output ? QStringLiteral("out") : QStringLiteral("in"))
            .arg(number);
    QString wire = name;
    for (QChar &c : wire) {
        if (c.isSpace() || c.unicode() < 0x21 || c.unicode() > 0x7E)
            c = u'_';
    }
    return wire;
}

QByteArray VcdWriter::id(bool output, int index) const {
    // Identifiers are printable characters from '!' on; 48 wires at most.
    return QByteArray(1, char('!' + (output ? Frame::GpiCount : 0) + index));
}

void VcdWriter::header(const MonEvent &start) {
    m_out += "$date " + TimeText(start.time).toUtf8() + " $end\n";
    m_out += "$version " + m_version.toUtf8() + " $end\n";
    m_out += "$timescale 1 us $end\n";
    for (bool output : {false, true}) {
        if (output && !m_outputs)
            continue;
        m_out += output ? "$scope module outputs $end\n" : "$scope module inputs $end\n";
        for (int i = 0; i < m_gpis; ++i)
            m_out += "$var wire 1 " + id(output, i) + ' ' +
                     wireName(output, i + 1, m_names.value(i + 1)).toUtf8() + " $end\n";
        m_out += "$upscope $end\n";
    }
    m_out += "$enddefinitions $end\n";
    m_started = true;
}

void VcdWriter::at(qint64 elapsedUs) {
    const qint64 t = qMax<qint64>(elapsedUs - m_originUs, 0);
    if (t == m_lastUs)
        return;
    m_lastUs = qMax(t, m_lastUs);
    m_out += '#' + QByteArray::number(m_lastUs) + '\n';
}

void VcdWriter::values(const GpiState &state) {
    for (int i = 0; i < m_gpis; ++i) {
        m_out += (GpiIsOn(state.inputs, i) ? '1' : '0') + id(false, i) + '\n';
        if (m_outputs)
            m_out += (GpiIsOn(state.outputs, i) ? '1' : '0') + id(true, i) + '\n';
    }
}

void VcdWriter::allUnknown() {
    for (bool output : {false, true}) {
        for (int i = 0; i < m_gpis && (!output || m_outputs); ++i)
            m_out += 'x' + id(output, i) + '\n';
    }
}

void VcdWriter::write(const MonEvent &e) {
    if (!m_file.isOpen())
        return;
    if (e.kind == MonEvent::State) {
        m_originUs = e.elapsedUs;
        header(e);
        at(e.elapsedUs);
        m_out += "$dumpvars\n";
        values(e.state);
        m_out += "$end\n";
    } else if (!m_started) {
        return;
    } else if (e.kind == MonEvent::Edge) {
        at(e.elapsedUs);
        m_out += (e.change.on ? '1' : '0') + id(e.output, e.number - 1) + '\n';
    } else if (e.kind == MonEvent::LinkLost) {
        at(e.elapsedUs);
        allUnknown();
    } else if (e.kind == MonEvent::LinkBack) {
        // The lines as they are after the gap; the edge events that follow say the same.
        at(e.elapsedUs);
        values(e.state);
    } else if (e.kind == MonEvent::Summary) {
        // The end of the run, so that a viewer shows the last state for as long as it lasted.
        at(e.elapsedUs);
    }
    flush();
}

void VcdWriter::finish() {
    if (!m_file.isOpen() || m_started)
        return;
    MonEvent none;
    none.time = QDateTime::currentDateTime();
    header(none);
    m_out += "#0\n$dumpvars\n";
    allUnknown();
    m_out += "$end\n";
    flush();
}

void VcdWriter::flush() {
    m_file.write(m_out);
    m_file.flush();
    m_out.clear();
}
