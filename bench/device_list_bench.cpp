// Device-list loading: the time to read a device list of 1,000, 10,000 and 50,000 records into the
// device tree's model (the core alone, no window), and a list of 10 MB of random bytes.
//
//   build/bin/device_list_bench [--runs R]
//
// Every record has its own address except one in a hundred, which shares the address of the record before
// it (the conflict box is answered at once); the records are spread over 100 frequency nodes.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "devices/device_list_file.h"
#include "devices/device_tree_model.h"
#include "platform/prompt.h"

namespace {

using namespace nms;
namespace fs = std::filesystem;

void Write(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> ListOf(int count) {
    std::vector<uint8_t> bytes;
    bytes.reserve(size_t(count) * kDeviceRecordSize);
    uint32_t host = 0x0A000001;
    for (int i = 0; i < count; ++i) {
        DeviceRecord d;
        d.nodeName = "Node " + std::to_string(i % 100);
        d.deviceName = "Device " + std::to_string(i);
        d.typeCode = 0x2101;
        if (i % 100 != 99)
            ++host;
        d.SetAddressBytes(uint8_t(host >> 24), uint8_t(host >> 16), uint8_t(host >> 8), uint8_t(host));
        const auto r = EncodeDeviceRecord(d);
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    return bytes;
}

// Milliseconds of the fastest of runs loads.
double LoadMs(const std::string& path, int runs, size_t* devices, size_t* nodes, size_t* boxes) {
    double best = 1e30;
    for (int r = 0; r < runs; ++r) {
        ScriptedPrompt prompt;
        ScopedPrompt scope(&prompt);
        DeviceRegistry registry;
        DeviceTreeModel model(registry);
        const auto start = std::chrono::steady_clock::now();
        model.LoadDevices(path);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        best = std::min(best, ms);
        *devices = registry.Size();
        *nodes = model.Nodes().size();
        *boxes = prompt.shown.size();
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 3;
    for (int i = 1; i + 1 < argc; i += 2)
        if (std::string(argv[i]) == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
    const fs::path dir = fs::temp_directory_path() / ("velmora-list-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    setenv("XDG_DATA_HOME", dir.c_str(), 1);

    std::printf("device list loading (core, fastest of %d runs)\n", runs);
    for (int count : {1000, 10000, 50000}) {
        const fs::path path = dir / ("list" + std::to_string(count) + ".db");
        Write(path, ListOf(count));
        size_t devices = 0, nodes = 0, boxes = 0;
        const double ms = LoadMs(path.string(), runs, &devices, &nodes, &boxes);
        std::printf("  %6d records: %9.1f ms  (%zu devices, %zu nodes, %zu conflict boxes)\n", count, ms,
                    devices, nodes, boxes);
    }
    std::mt19937 random(10);
    std::vector<uint8_t> noise(10u << 20);
    for (uint8_t& b : noise)
        b = uint8_t(random());
    const fs::path path = dir / "random.db";
    Write(path, noise);
    size_t devices = 0, nodes = 0, boxes = 0;
    const double ms = LoadMs(path.string(), runs, &devices, &nodes, &boxes);
    std::printf("  10 MB of random bytes (%zu records): %.1f ms  (%zu devices, %zu nodes)\n",
                noise.size() / kDeviceRecordSize, ms, devices, nodes);
    fs::remove_all(dir);
    return 0;
}
