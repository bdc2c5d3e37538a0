#include "SimOptions.h"

#include "HelpText.h"

#include <QCommandLineParser>

namespace sim {

namespace {

QCommandLineOption flag(const QStringList &names, const QString &description) {
    return QCommandLineOption(names, description);
}

QCommandLineOption valued(const QString &name, const QString &valueName, const QString &description,
                          const QString &defaultValue = QString()) {
    return QCommandLineOption(name, description, valueName, defaultValue);
}

const char Description[] = R"(
A Vorn GPI box in software, for trying the VORN GPI and ZED8 testers without the
hardware. It waits for a tester on a TCP port, answers its requests, keeps the outputs
it is told, reports its inputs when they change, and injects faults on demand. Every
frame is printed as one line: time, recv (from the tester) or send (to it), the bytes in
hex, and what they mean. A summary of frames, bytes and faults is printed at the end.

In the tester, type the address and port that vorn-sim prints (127.0.0.1 and 2323 unless
told otherwise) and press Connect.

One tester at a time: a second tester that connects while one is served is accepted and
closed at once, so it shows "Peer is closing connection". Once the first one goes, the
next connection is served.)";

const char Epilogue[] = R"(
Commands, typed one per line while it runs (or given with --exec / --on-connect):
  help                this text
  state               listening address, tester, inputs, outputs, firmware, patterns,
                      serial counts and armed faults
  quit                print the summary and end (Ctrl+C, SIGTERM and SIGHUP do the same;
                      the end of standard input does not, so it can run in the background)

 Inputs (a change of the inputs is reported to the tester at once; no change, no report):
  inputs FE FF FF     set all inputs from three state bytes: active low (0 = on), GPI 1
                      is the lowest bit of the first byte, GPI 24 the highest of the third
  inputs on|off       all inputs on or off
  in N... on|off      switch inputs by GPI number 1 to 24: in 3 on, in 1-8 off, in 2,4 on
  report              report the inputs now, changed or not
  report MS|off       report them every MS milliseconds
  walk MS [N]|off     one input on at a time, moving on every MS milliseconds over
                      GPIs 1 to N (default 24)
  follow on|off       the inputs take the state of the outputs whenever the tester sets
                      them. Reports go out only on a change, so the tester's Echo (which
                      returns each input report as the outputs) settles instead of looping.
  wire-fault FAULT    add faults to the wiring from the outputs to the inputs that
                      follow them, as for --wire-fault; several may follow at once
  wire-fault clear    straight wiring again: output N lights input N
  loopback on|off     serial output from the tester comes back as serial input on the
                      same port
  fw MAJOR.MINOR      firmware version for ID responses, e.g. fw 2.05 (sent as 05 02)

 Sending:
  send BYTES          send any bytes to the tester in one write, e.g.
                      send FF 00 00 02 41 42  (serial input on port 3)
  pace MS|off         at least MS milliseconds between two frames sent, as a real
                      device's own links space them (default off: frames go out at once).
                      The tester reads each arrival as one frame, so frames sent back to
                      back may reach it as one and only the first is read; pace keeps them
                      apart. An input report still waiting is replaced by a newer one.

 Faults:
  split [AT]          the next frame goes out in two writes, AT bytes first (default half)
  split-gap MS        time between the two writes of a split (default 50)
  coalesce            the next frame waits for the one after it; both go in one write
  delay MS|off        every frame sent waits MS milliseconds first (0 or off: no delay)
  garbage             send DE AD BE EF, which begins no frame
  short               send FF 00 00 04 FE, a GPI input message cut short
  close               close the connection (the tester sees the peer close)
  reset               reset the connection (TCP reset; the tester sees an error)
  stop                stop listening: new connections are refused
  listen              listen again on the same address and port

BYTES are pairs of hex digits, with or without blanks or 0x: FF 00 01, ff0001.

What the device does with each frame from the tester:
  FF 00 01            input status request: answers FF 00 00 04 and its input bytes
  FF 00 05            output status request: answers FF 00 00 06 and its output bytes
  FF 00 02            firmware version request: answers FF 00 00 05 minor major
  FF 00 00 04 b0 b1 b2  set outputs: takes the bytes as its outputs, no answer
  FF 00 00 0i data    serial output on port i + 1 (i = 0 to 3): counted, and looped back
                      as FF 00 00 0i data when loopback is on
  FF 00 04 mask       serial break on the ports of the mask (bit 0 = port 1): counted
The bytes from the tester are a stream: frames are cut from it by these lengths, and a
serial message runs to the next FF 00 or to the end of what arrived with it. Bytes that
begin no known frame are reported as unknown and skipped up to the next FF 00. A frame
the tester split over several writes is served, and marked as split in the trace.

Examples:
  vorn-sim                              serve on 127.0.0.1:2323
  vorn-sim --follow --loopback          outputs light the matching inputs; serial comes back
  vorn-sim --wire-fault open:3 --wire-fault cross:7,9
                                        a loop-back harness with a broken wire and two
                                        crossed ones, for vorn-check
  vorn-sim --walk 250 --walk-count 8    a walking input for the ZED8 tester; tick Echo
                                        in the tester and the outputs walk with it
  vorn-sim --boxes 128 --port 2401 --wire-fault 3:open:5 --quiet
                                        a rack of 128 boxes on ports 2401 to 2528, box 3
                                        with an open wire, for vorn-check --rack
  vorn-sim --on-connect reset           reset every connection at once
  sudo vorn-sim --port 23               the device's own port)";

} // namespace

SimOptions::SimOptions()
    : help(flag({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("This text."))),
      address(valued(QStringLiteral("address"), QStringLiteral("ADDR"),
                     QStringLiteral("Address to listen on (default 127.0.0.1; 0.0.0.0 lets "
                                    "other machines connect)."),
                     QStringLiteral("127.0.0.1"))),
      port(valued(QStringLiteral("port"), QStringLiteral("N"),
                  QStringLiteral("TCP port, 0 to 65535 (default 2323; 0 takes any free port). "
                                 "Ports below 1024, such as the device's own 23, need root or "
                                 "CAP_NET_BIND_SERVICE."),
                  QStringLiteral("2323"))),
      inputs(valued(QStringLiteral("inputs"), QStringLiteral("BYTES"),
                    QStringLiteral("The inputs to start with, as for the inputs command "
                                   "(default FF FF FF: all off)."))),
      firmware(valued(QStringLiteral("fw"), QStringLiteral("MAJOR.MINOR"),
                      QStringLiteral("Firmware version in ID responses (default 2.05)."))),
      follow(flag({QStringLiteral("follow")},
                  QStringLiteral("The inputs follow the outputs (follow on)."))),
      wireFault(valued(QStringLiteral("wire-fault"), QStringLiteral("FAULT"),
                       QStringLiteral("A wiring fault where the inputs follow the outputs "
                                      "(implies --follow; may be repeated): stuck-on:N (input N "
                                      "is on whatever the outputs do), open:N (output N lights "
                                      "no input), cross:A,B (output A lights input B, and B "
                                      "lights A) or short:A,B (output A or B lights both "
                                      "inputs), with GPI numbers 1 to 24; e.g. --wire-fault "
                                      "cross:7,9, for trying vorn-check."))),
      walk(valued(QStringLiteral("walk"), QStringLiteral("MS"),
                  QStringLiteral("Walk one input every MS milliseconds (walk MS)."))),
      walkCount(valued(QStringLiteral("walk-count"), QStringLiteral("N"),
                       QStringLiteral("GPIs the walk covers, 1 to 24 (default 24; 8 suits the "
                                      "ZED8 tester)."))),
      report(valued(QStringLiteral("report"), QStringLiteral("MS"),
                    QStringLiteral("Report the inputs every MS milliseconds (report MS)."))),
      loopback(flag({QStringLiteral("loopback")},
                    QStringLiteral("Loop serial output back (loopback on)."))),
      pace(valued(QStringLiteral("pace"), QStringLiteral("MS"),
                  QStringLiteral("At least MS milliseconds between frames sent (pace MS)."))),
      delay(valued(QStringLiteral("delay"), QStringLiteral("MS"),
                   QStringLiteral("Delay every frame sent (delay MS)."))),
      split(flag({QStringLiteral("split")}, QStringLiteral("Split the first frame sent (split)."))),
      splitGap(valued(QStringLiteral("split-gap"), QStringLiteral("MS"),
                      QStringLiteral("Time between the two writes of a split (default 50)."))),
      coalesce(flag({QStringLiteral("coalesce")},
                    QStringLiteral("Coalesce the first two frames sent (coalesce)."))),
      exec(QCommandLineOption({QStringLiteral("e"), QStringLiteral("exec")},
                              QStringLiteral("Run a command at start-up; may be repeated."),
                              QStringLiteral("CMD"))),
      onConnect(valued(QStringLiteral("on-connect"), QStringLiteral("CMD"),
                       QStringLiteral("Run a command each time a tester connects; may be "
                                      "repeated, e.g. --on-connect reset, --on-connect \"send "
                                      "FF 00 00 05 05 02\"."))),
      quiet(flag({QStringLiteral("q"), QStringLiteral("quiet")},
                 QStringLiteral("Do not print a line per frame (events, replies and the "
                                "summary still print)."))),
      boxes(valued(QStringLiteral("boxes"), QStringLiteral("N"),
                   QStringLiteral("Serve a rack: N boxes, 1 to 1024, on N consecutive ports from "
                                  "--port, each with its own state. Commands typed go to every "
                                  "box; trace lines and summaries are marked with the box's "
                                  "number. --wire-fault 3:cross:7,9 is a fault of box 3 alone "
                                  "(default 1)."),
                   QStringLiteral("1"))),

      bounce(valued(QStringLiteral("bounce"), QStringLiteral("N:COUNT"),
                    QStringLiteral("A bouncing contact, for trying vorn-mon --min-pulse: half "
                                   "a second after a tester connects, input N (1 to 24) "
                                   "toggles COUNT times (1 to 1000), 2 ms apart, each toggle "
                                   "reported, then stays as the last toggle left it; e.g. "
                                   "--bounce 7:5. May be repeated."))) {}

QList<QCommandLineOption> SimOptions::all() const {
    return {help,     address,   port,   inputs,    firmware, follow, wireFault,
            walk,     walkCount, report, loopback,  pace,     delay,  split,
            splitGap, coalesce,  exec,   onConnect, quiet,    boxes,  bounce};
}

void SimOptions::addTo(QCommandLineParser &parser) const {
    parser.setApplicationDescription(QString::fromUtf8(Description));
    parser.addOptions(all());
}

QString helpText() {
    QCommandLineParser parser;
    SimOptions().addTo(parser);
    return cli::helpText(parser) + QString::fromUtf8(Epilogue);
}

} // namespace sim
