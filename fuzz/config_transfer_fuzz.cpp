// Configuration files of any header, size and contents, and transfer replies of any bytes in any order,
// mixed with the operator's buttons and the time-out: the transfer reads only what the file and the
// replies hold, keeps its wait and the device's busy mark paired, and leaves no partial file behind.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "devices/config_transfer.h"
#include "devices/device_list_file.h"
#include "devices/device_record.h"
#include "devices/reply_view.h"
#include "platform/prompt.h"

using namespace nms;
namespace fs = std::filesystem;

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

class View : public IConfigTransferView {
public:
    void SetProgressRange(int maximum) override { Check(maximum >= 0); }
    void SetProgress(int) override {}
    void SetPercentText(const std::string&) override {}
    void SetBlockCountText(const std::string&) override {}
    void EnableStart(bool) override {}
    void BeginWait() override {
        Check(!waiting);
        waiting = true;
    }
    void EndWait() override {
        Check(waiting);
        waiting = false;
    }
    void ShowFinished() override {}
    bool waiting = false;
};

const fs::path& Folder() {
    static const fs::path folder = [] {
        fs::path p = fs::temp_directory_path() / ("config_transfer_fuzz_" + std::to_string(::getpid()));
        fs::create_directories(p);
        return p;
    }();
    return folder;
}

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t Byte() { return at < size ? data[at++] : 0; }
    bool Done() const { return at >= size; }
};

// Writes the import file: a 114-byte header and an image whose size lies around the accepted range.
void WriteImportFile(const std::string& path, Reader& in, uint16_t deviceType) {
    const uint8_t flags = in.Byte();
    std::vector<uint8_t> header(kConfigHeaderSize);
    for (uint8_t& b : header)
        b = in.Byte();
    if (flags & 1) {
        header[96] = uint8_t(deviceType);
        header[97] = uint8_t(deviceType >> 8);
    }
    static const long kSizes[] = {
        kConfigMinImage - 1, kConfigMinImage, kConfigMinImage + 1, kConfigMinImage + 1023,
        kConfigMaxImage - 1, kConfigMaxImage, kConfigMaxImage + 1, 0};
    long image = kSizes[(flags >> 1) % 8];
    if (image == 0)
        image = kConfigMinImage - 2048 +
                long(in.Byte() << 8 | in.Byte()) * 5 % (kConfigMaxImage - kConfigMinImage + 4096);
    const int headerBytes = (flags & 0x10) ? int(in.Byte()) % kConfigHeaderSize : kConfigHeaderSize;
    // Blocks follow a short pattern: erased flash, a filled block or fuzz bytes.
    uint8_t pattern[16];
    for (uint8_t& b : pattern)
        b = in.Byte();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(header.data(), 1, size_t(headerBytes), f);
    std::vector<uint8_t> block(kConfigBlockSize);
    for (long done = 0, i = 0; done < image; done += kConfigBlockSize, ++i) {
        const uint8_t p = pattern[i % 16];
        std::fill(block.begin(), block.end(), (p & 3) == 0 ? uint8_t(0xFF) : p);
        if ((p & 3) == 1)
            block[p % kConfigBlockSize] = 0x00;
        const size_t n = size_t(std::min<long>(kConfigBlockSize, image - done));
        std::fwrite(block.data(), 1, n, f);
    }
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in{data, size};
    const uint8_t mode = in.Byte();
    const bool import = mode & 1;
    ScriptedPrompt prompt;
    ScopedPrompt scope(&prompt);
    DeviceRecord device;
    device.deviceName = "Dev";
    device.typeCode = (mode & 2) ? 0x2101 : 0x4101;
    device.status = 3;

    const std::string importPath = (Folder() / "image.mux").string();
    const std::string exportPath = (Folder() / "export.mux").string();
    fs::remove(exportPath);
    if (import)
        WriteImportFile(importPath, in, device.typeCode);

    View view;
    {
        ConfigTransfer transfer(&device, import, view);
        int steps = 0;
        while (!in.Done() && ++steps < 2000) {
            const uint8_t op = in.Byte();
            switch (op % 16) {
                case 0:
                    transfer.Start(import ? importPath : exportPath);
                    break;
                case 1:
                    transfer.Erase();
                    break;
                case 2:
                    transfer.OnTimeout();
                    break;
                case 3:
                    transfer.Cancel();
                    break;
                case 4:
                    device.status = (op & 0x10) ? 3 : -1;
                    break;
                default: {
                    // A reply: mostly the commands the transfer waits for, with the expected block number.
                    static const uint8_t kCommands[] = {23, 24, 25, 0};
                    uint8_t command = kCommands[(op >> 4) & 3];
                    if (command == 0)
                        command = in.Byte();
                    const uint8_t b = (op & 0x80) ? in.Byte() : uint8_t(transfer.Block());
                    const uint8_t c = in.Byte();
                    const int declared = in.Byte() << 8 | in.Byte();
                    const int arrived = (op & 8) ? declared % 2100 : in.Byte();
                    std::vector<uint8_t> packet = {
                        0x21, 0x01, b, c, command, uint8_t(declared >> 8), uint8_t(declared)};
                    for (int i = 0; i < arrived; ++i)
                        packet.push_back(i < 8 ? in.Byte() : uint8_t(i));
                    // Its own exact copy, so a read past what arrived is caught.
                    std::vector<uint8_t> exact(packet);
                    transfer.OnReply(ReplyView(exact.data(), int(exact.size())));
                    break;
                }
            }
            device.link->sendLength = 0;
            const bool running = transfer.GetState() != ConfigTransfer::State::Idle;
            Check(!running || view.waiting);
            Check(view.waiting == (device.busy == 1));
            Check(transfer.Total() >= 0);
        }
    }
    Check(!view.waiting && device.busy == 0);
    // Only the import file and a completed export may remain.
    for (const auto& entry : fs::directory_iterator(Folder())) {
        const std::string name = entry.path().filename().string();
        Check(name == "image.mux" || name == "export.mux");
    }
    return 0;
}
