// Start-up: the time from starting the program to its main window shown, and the peak memory, with 1,000,
// 10,000 and 50,000 devices in the device list, side by side with a bare Qt main window started the same
// way in the same run.
//
//   build/bin/startup_bench [--runs R] [--counts 1000,10000,50000]
//
// Each start is a process of its own (this program, started again with --child): the time runs from just
// before the process is spawned to the first event-loop pass after show() (the window is laid out and
// painted); the peak memory is the child's maximum resident set. The login dialog is answered with its
// default login by a zero-time timer, the way the tests answer it. Qt runs on the "offscreen" platform
// unless QT_QPA_PLATFORM says otherwise. Figures are medians of the runs, which alternate between the
// configurations.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/login_dlg.h"
#include "app/login_registry.h"
#include "app/main_frame.h"
#include "app/velmora_app.h"
#include "devices/device_list_file.h"
#include "platform/qt_prompt.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

int64_t MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The child: builds the window, shows it, lets one event-loop pass lay it out and paint it, and prints the
// time.
int RunChild(int argc, char** argv, bool bare) {
    QApplication app(argc, argv);
    int64_t shown = 0;
    if (bare) {
        QMainWindow window;
        window.resize(1024, 768);
        window.show();
        QApplication::processEvents();
        shown = MonotonicNs();
    } else {
        QApplication::setApplicationName("velmora");
        nms::QtPrompt prompt;
        nms::SetPrompt(&prompt);
        nms::CVelmoraApp theApp;
        QTimer::singleShot(0, [] {
            if (auto* login = qobject_cast<nms::CLoginDlg*>(QApplication::activeModalWidget()))
                for (QPushButton* b : login->findChildren<QPushButton*>())
                    if (b->text() == "OK")
                        b->click();
        });
        if (!theApp.InitInstance())
            return 1;
        nms::CMainFrame frame;
        theApp.AttachMainFrame(&frame);
        frame.Start(nms::DeviceListPath());
        frame.show();
        QApplication::processEvents();
        shown = MonotonicNs();
        nms::SetPrompt(nullptr);
    }
    std::printf("%lld\n", static_cast<long long>(shown));
    std::fflush(stdout);
    return 0;
}

struct Sample {
    double ms = 0;
    double peakMiB = 0;
};

// One start: home holds the child's data and configuration folders.
bool Start(const std::string& self, const std::string& mode, const fs::path& home, Sample* sample) {
    int out[2];
    if (pipe(out) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "XDG_DATA_HOME=", 14) && std::strncmp(*e, "XDG_CONFIG_HOME=", 16))
            env.push_back(*e);
    env.push_back("XDG_DATA_HOME=" + (home / "data").string());
    env.push_back("XDG_CONFIG_HOME=" + (home / "config").string());
    if (!std::getenv("QT_QPA_PLATFORM"))
        env.push_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<char*> argv = {const_cast<char*>(self.c_str()), const_cast<char*>("--child"),
                               const_cast<char*>(mode.c_str()), nullptr};
    pid_t pid = -1;
    const int64_t start = MonotonicNs();
    const int rc = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        return false;
    }
    char line[64] = {};
    FILE* in = fdopen(out[0], "r");
    const bool got = std::fgets(line, sizeof line, in) != nullptr;
    std::fclose(in);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!got || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    sample->ms = double(std::atoll(line) - start) / 1e6;
    sample->peakMiB = double(usage.ru_maxrss) / 1024.0;
    return true;
}

void WriteList(const fs::path& home, int count) {
    fs::create_directories(home / "data" / "velmora");
    fs::create_directories(home / "config");
    std::ofstream out(home / "data" / "velmora" / "devinfo.db", std::ios::binary | std::ios::trunc);
    for (int i = 0; i < count; ++i) {
        nms::DeviceRecord d;
        d.nodeName = "Node " + std::to_string(i / 500);
        d.deviceName = "Device " + std::to_string(i);
        d.typeCode = 0x2101;
        const uint32_t host = 0x7F000000u | uint32_t(1 + i / 254) << 8 | uint32_t(1 + i % 254);
        d.SetAddressBytes(uint8_t(host >> 24), uint8_t(host >> 16), uint8_t(host >> 8), uint8_t(host));
        d.port = 39909;
        const auto r = nms::EncodeDeviceRecord(d);
        out.write(reinterpret_cast<const char*>(r.data()), std::streamsize(r.size()));
    }
}

double Median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--child")
        return RunChild(argc, argv, std::string(argv[2]) == "bare");
    int runs = 5;
    std::vector<int> counts = {1000, 10000, 50000};
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--runs") {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (a == "--counts") {
            counts.clear();
            for (const char* p = argv[i + 1]; *p;) {
                counts.push_back(std::atoi(p));
                while (*p && *p != ',')
                    ++p;
                if (*p == ',')
                    ++p;
            }
        }
    }
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return 1;
    self[n] = 0;

    const fs::path root = fs::temp_directory_path() / ("velmora-startup-bench-" + std::to_string(getpid()));
    struct Config {
        std::string name;
        std::string mode;
        fs::path home;
        std::vector<double> ms, mib;
    };
    std::vector<Config> configs;
    configs.push_back({"bare Qt main window", "bare", root / "bare", {}, {}});
    fs::create_directories(root / "bare" / "data");
    fs::create_directories(root / "bare" / "config");
    for (int count : counts) {
        const fs::path home = root / std::to_string(count);
        WriteList(home, count);
        configs.push_back({"velmora, " + std::to_string(count) + " devices", "velmora", home, {}, {}});
    }
    for (int r = 0; r < runs; ++r) {
        for (Config& c : configs) {
            Sample s;
            if (!Start(self, c.mode, c.home, &s)) {
                std::fprintf(stderr, "startup_bench: the %s did not start\n", c.name.c_str());
                fs::remove_all(root);
                return 1;
            }
            c.ms.push_back(s.ms);
            c.mib.push_back(s.peakMiB);
        }
    }
    fs::remove_all(root);
    const double bare = Median(configs[0].ms), bareMiB = Median(configs[0].mib);
    std::printf("start to main window shown (median of %d runs)\n", runs);
    for (const Config& c : configs)
        std::printf("  %-28s %8.1f ms  (%.2fx bare)   peak memory %7.1f MiB  (%.2fx bare)\n", c.name.c_str(),
                    Median(c.ms), Median(c.ms) / bare, Median(c.mib), Median(c.mib) / bareMiB);
    return 0;
}
