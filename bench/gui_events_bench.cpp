// The GUI under a storm of state changes: the main window with N devices (default 10,000) whose devices, all
// simulated by devsim, come online, all go silent until they are reported offline, and all answer again.
// A probe timer runs every 2 ms on the GUI thread; the longest gap between two of its runs is the longest
// time the event loop was blocked. Next to it: the GUI thread's own CPU time within that gap (on a loaded
// machine the rest is time spent waiting for a processor), the most CPU time within any gap, and the one
// event that used the most CPU.
//
//   build/bin/gui_events_bench [--devices N] [--tick-ms M] [--port P] [--devsim PATH]
//
// The heartbeat tick is driven every M ms (default 500) instead of every 5 s. Qt runs on the "offscreen"
// platform unless QT_QPA_PLATFORM says otherwise.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/dev_alarm_list_view.h"
#include "app/dev_tree_view.h"
#include "app/main_frame.h"
#include "device_simulator.h"
#include "devices/device_events.h"
#include "devices/device_list_file.h"
#include "platform/data_folder.h"
#include "platform/prompt.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Child {
    pid_t pid = -1;
    int toChild = -1;
    FILE* fromChild = nullptr;
};

bool SpawnDevsim(const std::string& path, int devices, uint16_t port, Child* child) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string count = std::to_string(devices), portText = std::to_string(port);
    std::vector<char*> argv = {const_cast<char*>(path.c_str()),     const_cast<char*>("--count"),
                               const_cast<char*>(count.c_str()),    const_cast<char*>("--port"),
                               const_cast<char*>(portText.c_str()), nullptr};
    const int rc = posix_spawn(&child->pid, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    if (rc != 0)
        return false;
    child->toChild = in[1];
    child->fromChild = fdopen(out[0], "r");
    char line[128];
    if (std::fgets(line, sizeof line, child->fromChild) && std::strncmp(line, "ready", 5) == 0)
        return true;
    // Not ready (its port taken, say): it must not outlive us.
    kill(child->pid, SIGTERM);
    waitpid(child->pid, nullptr, 0);
    return false;
}

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

std::string OwnFolder() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    path[n] = 0;
    std::string s(path);
    return s.substr(0, s.rfind('/'));
}

// Notes the event that took the GUI thread the most CPU time (outermost events only): what blocked.
class TimedApp : public QApplication {
public:
    using QApplication::QApplication;
    double heaviestCpuMs = 0;
    std::string heaviest;  // receiver class and event type

    bool notify(QObject* receiver, QEvent* event) override {
        if (m_depth > 0)
            return QApplication::notify(receiver, event);
        ++m_depth;
        const double start = ThreadCpuMs();
        const int type = int(event->type());  // the event may be gone afterwards
        const bool result = QApplication::notify(receiver, event);
        const double used = ThreadCpuMs() - start;
        --m_depth;
        if (used > heaviestCpuMs) {
            heaviestCpuMs = used;
            heaviest =
                std::string(receiver->metaObject()->className()) + ", event type " + std::to_string(type);
        }
        return result;
    }

private:
    int m_depth = 0;
};

struct Phase {
    const char* name = "";
    double seconds = 0;
    double longestBlockMs = 0;
    double longestBlockCpuMs = 0;  // the GUI thread's CPU time within that block
    double mostCpuMs = 0;          // the most CPU time the GUI thread used within any block
    double heaviestCpuMs = 0;      // the single event that used the most
    std::string heaviest;
    bool done = false;
};

}  // namespace

int main(int argc, char** argv) {
    int devices = 10000, tickMs = 500;
    uint16_t port = 39209;
    std::string devsim = OwnFolder() + "/devsim";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--devices")
            devices = std::atoi(argv[i + 1]);
        else if (a == "--tick-ms")
            tickMs = std::atoi(argv[i + 1]);
        else if (a == "--port")
            port = uint16_t(std::atoi(argv[i + 1]));
        else if (a == "--devsim")
            devsim = argv[i + 1];
    }
    if (devices < 1 || tickMs < 10) {
        std::fprintf(stderr, "gui_events_bench: bad arguments\n");
        return 2;
    }
    signal(SIGPIPE, SIG_IGN);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const fs::path home = fs::temp_directory_path() / ("velmora-gui-bench-" + std::to_string(getpid()));
    fs::create_directories(home / "data" / "velmora");
    fs::create_directories(home / "config");
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    {
        std::ofstream out(nms::DataFilePath("devinfo.db"), std::ios::binary | std::ios::trunc);
        for (int i = 0; i < devices; ++i) {
            nms::DeviceRecord d;
            d.nodeName = "Node " + std::to_string(i / 500);
            d.deviceName = std::to_string(i);
            d.typeCode = 0x2101;
            d.address = nms::test::SimLoopbackAddress(i);
            d.port = port;
            const auto r = nms::EncodeDeviceRecord(d);
            out.write(reinterpret_cast<const char*>(r.data()), std::streamsize(r.size()));
        }
    }

    Child child;
    if (!SpawnDevsim(devsim, devices, port, &child)) {
        std::fprintf(stderr, "gui_events_bench: cannot start %s\n", devsim.c_str());
        return 1;
    }
    auto command = [&](const char* line) { (void)!write(child.toChild, line, std::strlen(line)); };

    TimedApp app(argc, argv);
    nms::ScriptedPrompt prompt;  // any box is answered at once
    nms::ScopedPrompt promptScope(&prompt);
    int rc = 0;
    {
        nms::CMainFrame frame;
        QElapsedTimer sinceStart;
        sinceStart.start();
        frame.Start(nms::DataFilePath("devinfo.db"));
        frame.show();
        QApplication::processEvents();
        const double startMs = double(sinceStart.nsecsElapsed()) / 1e6;

        int online = 0, offline = 0;
        nms::DeviceEventSink frameSink = nms::SetDeviceEventSink(nullptr);
        nms::SetDeviceEventSink([&](const nms::DeviceEvent& e) {
            if (e.text == "Device online")
                ++online;
            else if (e.text == "Device offline")
                ++offline;
            frameSink(e);
        });

        Phase phases[3];
        phases[0].name = "all come online";
        phases[1].name = "all go offline";
        phases[2].name = "all come back online";
        int current = 0;
        QElapsedTimer phaseClock, probeClock;
        phaseClock.start();
        probeClock.start();
        double probeCpuMs = ThreadCpuMs();
        int offlineAtStart = 0;

        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { frame.DevTree()->OnHeartbeatTimer(); });
        tick.start(tickMs);

        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const double gap = double(probeClock.nsecsElapsed()) / 1e6;
            probeClock.restart();
            const double cpuNow = ThreadCpuMs();
            const double cpu = cpuNow - probeCpuMs;
            probeCpuMs = cpuNow;
            Phase& p = phases[current];
            if (gap > p.longestBlockMs) {
                p.longestBlockMs = gap;
                p.longestBlockCpuMs = cpu;
            }
            p.mostCpuMs = std::max(p.mostCpuMs, cpu);
            const bool reached = current == 0   ? online >= devices
                                 : current == 1 ? offline - offlineAtStart >= devices
                                                : online >= 2 * devices;
            if (!reached && phaseClock.elapsed() < 120000)
                return;
            p.seconds = double(phaseClock.nsecsElapsed()) / 1e9;
            p.done = reached;
            p.heaviestCpuMs = app.heaviestCpuMs;
            p.heaviest = app.heaviest;
            app.heaviestCpuMs = 0;
            app.heaviest.clear();
            if (++current == 3) {
                QApplication::quit();
                return;
            }
            if (current == 1) {
                offlineAtStart = offline;
                command("silent all\n");
            } else {
                command("answer all\n");
            }
            phaseClock.restart();
        });
        probe.start(2);
        QApplication::exec();
        QApplication::processEvents();  // the alarm table's trim after the last burst

        std::printf("devices                               %d\n", devices);
        std::printf("heartbeat tick                        %d ms\n", tickMs);
        std::printf("start to window shown (in-process)    %.1f ms\n", startMs);
        for (const Phase& p : phases)
            std::printf(
                "%-22s %s in %6.2f s; longest event-loop block %6.1f ms (GUI thread CPU in it %5.1f ms); "
                "most CPU in one block %5.1f ms; heaviest event %5.1f ms CPU (%s)\n",
                p.name, p.done ? "done    " : "TIMEOUT ", p.seconds, p.longestBlockMs, p.longestBlockCpuMs,
                p.mostCpuMs, p.heaviestCpuMs, p.heaviest.c_str());
        std::printf("events: online %d, offline %d; alarm table rows %d\n", online, offline,
                    frame.AlarmList()->rowCount());
        for (const Phase& p : phases)
            rc |= p.done ? 0 : 1;

        nms::SetDeviceEventSink(frameSink);
    }
    close(child.toChild);
    kill(child.pid, SIGTERM);
    waitpid(child.pid, nullptr, 0);
    fs::remove_all(home);
    return rc;
}
