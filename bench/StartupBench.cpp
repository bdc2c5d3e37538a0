#include "StartupBench.h"

#include "BenchClock.h"
#include "ResultTable.h"
#include "Stats.h"
#include "XWindowWatcher.h"
#include "XvfbServer.h"
#include "window/Layout.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

constexpr std::int64_t PollNs = 250'000;

struct Sample {
    double shownMs = 0;
    double tickMs = 0;
    double rssMb = 0;
};

// The environment of the bench, for a program on `display`. The bench chose its event loop
// through the environment; each program makes that choice itself, as it does for users.
std::vector<QByteArray> childEnvironment(const QByteArray &display) {
    std::vector<QByteArray> env;
    for (char **entry = environ; *entry; ++entry) {
        const QByteArray text(*entry);
        if (!text.startsWith("DISPLAY=") && !text.startsWith("QT_QPA_PLATFORM=") &&
            !text.startsWith("QT_SCALE_FACTOR=") && !text.startsWith("WAYLAND_DISPLAY=") &&
            !text.startsWith("QT_NO_GLIB="))
            env.push_back(text);
    }
    env.push_back("DISPLAY=" + display);
    env.push_back("QT_QPA_PLATFORM=xcb");
    env.push_back("QT_SCALE_FACTOR=1");
    return env;
}

double rssMbOf(pid_t pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

void pause(std::int64_t ns) {
    const timespec ts{time_t(ns / 1000000000), long(ns % 1000000000)};
    nanosleep(&ts, nullptr);
}

// Polls the rectangle until it shows a dark pixel; the time it did, or 0.
std::int64_t waitForDark(XWindowWatcher &watcher, std::uint32_t window, const QRect &rect,
                         std::int64_t deadlineNs) {
    while (nowNs() < deadlineNs) {
        if (watcher.showsDarkPixel(window, rect).value_or(false))
            return nowNs();
        pause(PollNs);
    }
    return 0;
}

// One start of a program: spawned, watched until the first tick shows, then ended.
bool measureOnce(const QByteArray &path, XWindowWatcher &watcher,
                 const std::vector<QByteArray> &environment, Sample *sample) {
    std::vector<char *> envp;
    for (const QByteArray &entry : environment)
        envp.push_back(const_cast<char *>(entry.constData()));
    envp.push_back(nullptr);
    char *argv[] = {const_cast<char *>(path.constData()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    pid_t pid = -1;
    const std::int64_t startNs = nowNs();
    const int spawned = posix_spawn(&pid, path.constData(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;

    const std::int64_t deadline = startNs + 20'000'000'000;
    // The caption where the tester's first label stands, and the inside of the connection
    // state box, which stays empty until the link-status timer's first tick writes "Closed".
    const QRect label = layoutOf(QStringLiteral("Vorn_Address_Label")).pixels();
    const QRect state = layoutOf(QStringLiteral("Vorn_State")).pixels().adjusted(3, 3, -3, -3);
    const std::uint32_t window = watcher.waitForMappedWindow(deadline);
    const std::int64_t shownNs = window ? waitForDark(watcher, window, label, deadline) : 0;
    const std::int64_t tickNs = shownNs ? waitForDark(watcher, window, state, deadline) : 0;
    if (tickNs) {
        sample->shownMs = double(shownNs - startNs) / 1e6;
        sample->tickMs = double(tickNs - startNs) / 1e6;
        sample->rssMb = rssMbOf(pid);
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return tickNs != 0;
}

} // namespace

StartupBench::StartupBench(const BenchOptions &options) : m_options(options) {
    const std::pair<QString, QByteArray> programs[] = {
        {QStringLiteral("vorn-gpi-tester"), VORN_BENCH_GPI_TESTER},
        {QStringLiteral("vorn-zed8-tester"), VORN_BENCH_ZED8_TESTER},
        {QStringLiteral("bare Qt window"), VORN_BENCH_BARE_WINDOW}};
    for (const auto &[name, path] : programs) {
        Program program;
        program.name = name;
        program.path = path;
        m_programs.push_back(program);
    }
}

bool StartupBench::run() {
    XvfbServer server;
    if (!server.start()) {
        m_error = QStringLiteral("no virtual X server (Xvfb) could be started");
        return false;
    }
    XWindowWatcher watcher(server.display());
    if (!watcher.isOpen()) {
        m_error = QStringLiteral("the virtual X server could not be reached");
        return false;
    }
    const std::vector<QByteArray> environment = childEnvironment(server.display());
    Program &bare = m_programs.back();
    const auto measure = [&](const Program &program, Sample *sample) {
        if (measureOnce(program.path, watcher, environment, sample))
            return true;
        m_error = QStringLiteral("%1 did not show its window and first tick").arg(program.name);
        return false;
    };
    // Each round: a tester, the bare window, the other tester, the bare window. The first
    // round only warms the disk cache and the font cache.
    for (int round = 0; round <= m_options.startupRounds; ++round) {
        for (std::size_t i = 0; i + 1 < m_programs.size(); ++i) {
            Program &tester = m_programs[i];
            Sample testerSample, bareSample;
            if (!measure(tester, &testerSample) || !measure(bare, &bareSample))
                return false;
            if (round == 0)
                continue;
            for (auto [program, sample] :
                 {std::pair{&tester, &testerSample}, std::pair{&bare, &bareSample}}) {
                program->shownMs.push_back(sample->shownMs);
                program->tickMs.push_back(sample->tickMs);
                program->rssMb.push_back(sample->rssMb);
            }
            tester.shownRatios.add(testerSample.shownMs / bareSample.shownMs);
            tester.tickRatios.add(testerSample.tickMs / bareSample.tickMs);
            tester.extraRssMb.add(testerSample.rssMb - bareSample.rssMb);
        }
    }
    return true;
}

void StartupBench::report(ResultTable &table) const {
    const Program &bare = m_programs.back();
    const Summary bareShown = summarise(bare.shownMs);
    const Summary bareTick = summarise(bare.tickMs);
    const Summary bareRss = summarise(bare.rssMb);
    for (std::size_t i = 0; i + 1 < m_programs.size(); ++i) {
        const Program &p = m_programs[i];
        const Summary shown = summarise(p.shownMs);

        ResultRow shownRow = ResultRow::compared(
            QStringLiteral("%1: start to window shown, %2 starts").arg(p.name).arg(shown.count),
            QStringLiteral("ms"), shown, bareShown);
        shownRow.judge(QStringLiteral("ratio <= 1.3"), shownRow.showRatios(p.shownRatios) <= 1.3);
        table.add(shownRow);

        ResultRow tickRow =
            ResultRow::compared(QStringLiteral("%1: start to first Timer1 tick shown").arg(p.name),
                                QStringLiteral("ms"), summarise(p.tickMs), bareTick);
        tickRow.showRatios(p.tickRatios);
        table.add(tickRow);

        // Memory over the bare window's: the median of the rounds' differences.
        ResultRow rssRow =
            ResultRow::compared(QStringLiteral("%1: resident memory after start-up").arg(p.name),
                                QStringLiteral("MB"), summarise(p.rssMb), bareRss);
        const double extra = p.extraRssMb.median();
        rssRow.ratio = (extra >= 0 ? QStringLiteral("+") : QString()) + ResultTable::number(extra) +
                       QStringLiteral(" MB");
        rssRow.showSpread(p.extraRssMb);
        rssRow.judge(QStringLiteral("<= +10 MB"), extra <= 10);
        table.add(rssRow);
    }
}
