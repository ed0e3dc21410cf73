#include "devices/config_transfer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "devices/config_operation.h"
#include "devices/device_list_file.h"
#include "devices/device_record.h"
#include "devices/reply_receiver.h"
#include "devices/reply_routing.h"
#include "devices/reply_view.h"
#include "event_recorder.h"
#include "platform/prompt.h"

namespace nms {
namespace config_transfer_test {

namespace fs = std::filesystem;

struct Sent {
    uint8_t b = 0, c = 0, command = 0;
    std::vector<uint8_t> payload;
};

class FakeView : public IConfigTransferView {
public:
    void SetProgressRange(int maximum) override { range = maximum; }
    void SetProgress(int position) override { progress = position; }
    void SetPercentText(const std::string& text) override { percent = text; }
    void SetBlockCountText(const std::string& text) override { blockCount = text; }
    void EnableStart(bool enable) override { startEnabled = enable; }
    void BeginWait() override {
        EXPECT_FALSE(waiting);
        waiting = true;
    }
    void EndWait() override {
        EXPECT_TRUE(waiting);
        waiting = false;
    }
    void ShowFinished() override { finished = true; }

    int range = -1, progress = -1;
    std::string percent, blockCount;
    bool startEnabled = false, waiting = false, finished = false;
};

class ConfigTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        device.deviceName = "Dev1";
        device.typeCode = 0x2101;
        device.status = 3;
        dir = fs::temp_directory_path() / ("cfg_transfer_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Takes the request from the send slot, as the network thread would.
    std::optional<Sent> TakeSent() {
        DeviceLink& link = *device.link;
        if (link.sendLength == 0)
            return std::nullopt;
        Sent s;
        const uint8_t* p = link.sendBuffer.data();
        s.b = p[2];
        s.c = p[3];
        s.command = p[4];
        const int n = p[5] << 8 | p[6];
        s.payload.assign(p + 7, p + 7 + n);
        link.sendLength = 0;
        return s;
    }

    void Feed(ConfigTransfer& t, uint8_t command, uint8_t b, uint8_t c, const std::vector<uint8_t>& payload) {
        std::vector<uint8_t> packet = {
            0x21, 0x01, b, c, command, uint8_t(payload.size() >> 8), uint8_t(payload.size())};
        packet.insert(packet.end(), payload.begin(), payload.end());
        t.OnReply(ReplyView(packet.data(), int(packet.size())));
    }

    static std::vector<uint8_t> Block(int number, int size = kConfigBlockSize) {
        std::vector<uint8_t> b(size);
        for (int i = 0; i < size; ++i)
            b[i] = uint8_t(number * 7 + i);
        return b;
    }

    std::string WriteConfigFile(const std::string& name, uint16_t type,
                                const std::vector<std::vector<uint8_t>>& blocks, size_t extra = 0) {
        DeviceRecord header;
        header.typeCode = type;
        const auto bytes = EncodeDeviceRecord(header);
        const std::string path = (dir / name).string();
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        for (const auto& b : blocks)
            out.write(reinterpret_cast<const char*>(b.data()), b.size());
        out << std::string(extra, 'x');
        return path;
    }

    std::vector<uint8_t> ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    int FilesInDir() { return int(std::distance(fs::directory_iterator(dir), fs::directory_iterator())); }

    // Erases, then starts the import of path.
    void EraseAndStart(ConfigTransfer& t, const std::string& path, std::vector<uint8_t> eraseReply = {}) {
        t.Erase();
        auto erase = TakeSent();
        ASSERT_TRUE(erase);
        EXPECT_EQ(erase->command, 24);
        EXPECT_TRUE(erase->payload.empty());
        Feed(t, 24, 1, 1, eraseReply);
        ASSERT_TRUE(t.StartEnabled());
        t.Start(path);
    }

    DeviceRecord device;
    fs::path dir;
    FakeView view;
    ScriptedPrompt prompt;
    ScopedPrompt scope{&prompt};
    test::EventRecorder events;
};

TEST_F(ConfigTransferTest, ExportWritesHeaderAndAllBlocksOnlyWhenComplete) {
    ConfigTransfer t(&device, false, view);
    const std::string path = (dir / "Dev1.mux").string();
    t.Start(path);
    auto sent = TakeSent();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, 23);
    EXPECT_EQ(sent->b, 1);
    EXPECT_EQ(sent->c, 251);
    EXPECT_TRUE(sent->payload.empty());
    EXPECT_EQ(device.busy, 1);
    EXPECT_TRUE(view.waiting);
    EXPECT_EQ(view.blockCount, "250");
    EXPECT_EQ(view.percent, "0%");

    for (int block = 1; block <= 250; ++block) {
        Feed(t, 23, uint8_t(block), 250, Block(block));
        if (block < 250) {
            EXPECT_FALSE(fs::exists(path)) << "visible before the last block";
            auto next = TakeSent();
            ASSERT_TRUE(next) << block;
            EXPECT_EQ(next->b, uint8_t(block + 1));
            EXPECT_EQ(next->c, 250);
        } else {
            EXPECT_EQ(view.blockCount, "250");
        }
        if (block == 125) {
            EXPECT_EQ(view.percent, "50%");
        }
    }
    EXPECT_FALSE(TakeSent());
    const auto file = ReadFile(path);
    ASSERT_EQ(file.size(), 114u + 250 * 1024);
    const auto header = EncodeDeviceRecord(device);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), file.begin()));
    for (int block = 1; block <= 250; block += 83) {
        const auto expected = Block(block);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.begin() + 114 + (block - 1) * 1024))
            << block;
    }
    EXPECT_EQ(FilesInDir(), 1);
    EXPECT_EQ(device.busy, 0);
    EXPECT_FALSE(view.waiting);
    EXPECT_TRUE(view.finished);
    EXPECT_EQ(view.percent, "100%");
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Export config form device succeed!");
    EXPECT_EQ(events.Texts(),
              (std::vector<std::string>{"Start export ...", "Export config form device succeed!"}));

    // A late reply changes nothing.
    Feed(t, 23, 250, 250, Block(9));
    EXPECT_EQ(ReadFile(path).size(), 114u + 250 * 1024);
    EXPECT_FALSE(TakeSent());
}

TEST_F(ConfigTransferTest, ExportLongFormatHas175BlocksAndDoubledCounts) {
    ConfigTransfer t(&device, false, view);
    const std::string path = (dir / "long.mux").string();
    t.Start(path);
    ASSERT_TRUE(TakeSent());
    Feed(t, 23, 1, 255, Block(1, 2048));
    EXPECT_TRUE(t.LongFormat());
    EXPECT_EQ(view.range, 175);
    EXPECT_EQ(view.blockCount, "2");
    for (int block = 2; block <= 175; ++block) {
        auto next = TakeSent();
        ASSERT_TRUE(next);
        EXPECT_EQ(next->b, uint8_t(block));
        EXPECT_EQ(next->c, 255);
        Feed(t, 23, uint8_t(block), 255, Block(block, 2048));
    }
    EXPECT_EQ(view.blockCount, "350");
    EXPECT_EQ(ReadFile(path).size(), 114u + 175 * 2048);
    EXPECT_TRUE(view.finished);
}

TEST_F(ConfigTransferTest, StalledOrCancelledExportLeavesNoFileAndFreesTheDevice) {
    // An older file of the same name survives an export that does not finish.
    const std::string path = (dir / "keep.mux").string();
    std::ofstream(path) << "old";
    for (bool timeout : {true, false}) {
        ConfigTransfer t(&device, false, view);
        t.Start(path);
        for (int block = 1; block <= 10; ++block) {
            ASSERT_TRUE(TakeSent());
            Feed(t, 23, uint8_t(block), 250, Block(block));
        }
        Feed(t, 23, 3, 250, Block(3));  // a repeated block is not written twice
        EXPECT_EQ(device.busy, 1);
        if (timeout) {
            t.OnTimeout();
            EXPECT_EQ(events.Count("Operation timeout"), 1);
            EXPECT_TRUE(view.startEnabled);  // may be tried again
        } else {
            t.Cancel();
        }
        EXPECT_EQ(t.GetState(), ConfigTransfer::State::Idle);
        EXPECT_EQ(device.busy, 0);
        EXPECT_FALSE(view.waiting);
        EXPECT_FALSE(view.finished);
        EXPECT_EQ(ReadFile(path), std::vector<uint8_t>({'o', 'l', 'd'}));
        EXPECT_EQ(FilesInDir(), 1);
        TakeSent();
        Feed(t, 23, 11, 250, Block(11));  // a late reply does nothing
        EXPECT_FALSE(TakeSent());
    }
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ConfigTransferTest, ExportNeedsOnlineDeviceAndPath) {
    ConfigTransfer t(&device, false, view);
    t.Start("");
    EXPECT_FALSE(TakeSent());
    device.status = -1;
    t.Start((dir / "x.mux").string());
    EXPECT_FALSE(TakeSent());
    EXPECT_EQ(FilesInDir(), 0);
    device.status = 3;
    t.Start((dir / "missing" / "x.mux").string());
    EXPECT_FALSE(TakeSent());
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Create config file failed!");
}

TEST_F(ConfigTransferTest, ImportChecksSizeAndType) {
    const std::vector<uint8_t> full(1024, 0x11);
    std::vector<std::vector<uint8_t>> blocks200(200, full);
    struct Case {
        std::string path;
        const char* message;
    } cases[] = {
        {WriteConfigFile("short.mux", 0x2101, {}, 204799), "Invalid config file2!"},
        {WriteConfigFile("long.mux", 0x2101, {}, 512001), "Invalid config file2!"},
        {WriteConfigFile("tiny.mux", 0x2101, {}, 0), "Invalid config file2!"},
        {WriteConfigFile("type.encoder", 0x1101, blocks200), "Invalid config file!:type:1101=2101"},
    };
    std::ofstream((dir / "garbage").string()) << "x";
    for (const Case& c : cases) {
        prompt.shown.clear();
        ConfigTransfer t(&device, true, view);
        EraseAndStart(t, c.path);
        EXPECT_FALSE(TakeSent()) << c.path;
        ASSERT_EQ(prompt.shown.size(), 1u) << c.path;
        EXPECT_EQ(prompt.shown[0].text, c.message);
        EXPECT_EQ(device.busy, 0);
    }
    prompt.shown.clear();
    ConfigTransfer t(&device, true, view);
    EraseAndStart(t, (dir / "garbage").string());
    EXPECT_EQ(prompt.shown.at(0).text, "Invalid config file2!");

    // Exactly 204800 bytes of image: 200 blocks, the first request says 201.
    ConfigTransfer ok(&device, true, view);
    EraseAndStart(ok, WriteConfigFile("ok.mux", 0x2101, blocks200));
    auto first = TakeSent();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->command, 25);
    EXPECT_EQ(first->b, 1);
    EXPECT_EQ(first->c, 201);
    EXPECT_EQ(first->payload, full);
    EXPECT_EQ(ok.Total(), 200);
    EXPECT_EQ(view.blockCount, "200");
}

TEST_F(ConfigTransferTest, ImportStartsOnlyAfterAnEraseAndSendsEveryBlock) {
    std::vector<std::vector<uint8_t>> blocks;
    for (int i = 1; i <= 200; ++i)
        blocks.push_back(Block(i));
    const std::string path = WriteConfigFile("all.mux", 0x2101, blocks);
    ConfigTransfer t(&device, true, view);
    t.Start(path);
    EXPECT_FALSE(TakeSent());  // no erase yet
    t.Erase();
    ASSERT_TRUE(TakeSent());
    EXPECT_EQ(events.Texts().back(), "Start erase config ...");
    t.Start(path);  // still erasing
    EXPECT_FALSE(TakeSent());
    Feed(t, 24, 1, 1, {});
    EXPECT_FALSE(t.LongFormat());
    EXPECT_EQ(events.Texts().back(), "Erase config flash succeed!");
    t.Start(path);
    for (int block = 1; block <= 200; ++block) {
        auto sent = TakeSent();
        ASSERT_TRUE(sent) << block;
        EXPECT_EQ(sent->b, uint8_t(block));
        EXPECT_EQ(sent->c, block == 1 ? 201 : 200);
        EXPECT_EQ(sent->payload, blocks[block - 1]);
        Feed(t, 25, uint8_t(block), 1, {});
        if (block == 100) {
            EXPECT_EQ(view.percent, "50%#1");
        }
    }
    EXPECT_FALSE(TakeSent());
    EXPECT_EQ(view.percent, "100%#3");
    EXPECT_TRUE(view.finished);
    EXPECT_FALSE(view.startEnabled);
    EXPECT_EQ(device.busy, 0);
    EXPECT_EQ(prompt.shown.at(0).text, "Import config to device succeed!");
    EXPECT_EQ(events.Count("Start import ..."), 1);
    EXPECT_EQ(events.Texts().back(), "Import config to device succeed!");
    // A late reply after the end is ignored (it used to divide by the zeroed total).
    Feed(t, 25, 200, 1, {});
    EXPECT_FALSE(TakeSent());
    EXPECT_EQ(prompt.shown.size(), 1u);
    // A second import needs another erase.
    t.Start(path);
    EXPECT_FALSE(TakeSent());
}

TEST_F(ConfigTransferTest, ImportSkipsErasedBlocksAndEndsWhenOnlyErasedRemain) {
    const std::vector<uint8_t> erased(1024, 0xFF);
    std::vector<std::vector<uint8_t>> blocks(200, erased);
    blocks[0] = Block(1);
    blocks[3] = Block(4);
    const std::string path = WriteConfigFile("sparse.mux", 0x2101, blocks);
    ConfigTransfer t(&device, true, view);
    EraseAndStart(t, path);
    ASSERT_TRUE(TakeSent());
    Feed(t, 25, 1, 1, {});
    auto sent = TakeSent();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->b, 4);
    EXPECT_EQ(sent->payload, blocks[3]);
    Feed(t, 25, 4, 1, {});
    EXPECT_FALSE(TakeSent());
    EXPECT_EQ(view.percent, "100%#2");
    EXPECT_TRUE(view.finished);
    EXPECT_EQ(prompt.shown.at(0).text, "Import config to device succeed!");
}

TEST_F(ConfigTransferTest, ImportLongFormatPrefixesBlockNumbers) {
    std::vector<std::vector<uint8_t>> blocks;
    for (int i = 1; i <= 300; ++i)
        blocks.push_back(Block(i));
    const std::string path = WriteConfigFile("long.mux", 0x2101, blocks, 10);  // a short last block
    ConfigTransfer t(&device, true, view);
    EraseAndStart(t, path, {255});
    EXPECT_TRUE(t.LongFormat());
    for (int block = 1; block <= 301; ++block) {
        auto sent = TakeSent();
        ASSERT_TRUE(sent) << block;
        EXPECT_EQ(sent->c, 255);
        EXPECT_EQ(sent->b, uint8_t(block));
        ASSERT_GE(sent->payload.size(), 2u);
        EXPECT_EQ(sent->payload[0] << 8 | sent->payload[1], block);
        EXPECT_EQ(sent->payload.size(), block <= 300 ? 1026u : 12u);
        Feed(t, 25, uint8_t(block), 255, {});
    }
    EXPECT_TRUE(view.finished);
}

TEST_F(ConfigTransferTest, StalledImportTimesOutAndNeedsANewErase) {
    const std::string path =
        WriteConfigFile("ok.mux", 0x2101, std::vector<std::vector<uint8_t>>(200, Block(1)));
    ConfigTransfer t(&device, true, view);
    EraseAndStart(t, path);
    ASSERT_TRUE(TakeSent());
    t.OnTimeout();
    EXPECT_EQ(events.Count("Operation timeout"), 1);
    EXPECT_EQ(device.busy, 0);
    EXPECT_FALSE(view.waiting);
    Feed(t, 25, 1, 1, {});
    EXPECT_FALSE(TakeSent());
    t.Start(path);
    EXPECT_FALSE(TakeSent());
    // A wrong command in a waiting state is not this state's reply.
    t.Erase();
    ASSERT_TRUE(TakeSent());
    Feed(t, 23, 1, 1, {});
    EXPECT_EQ(t.GetState(), ConfigTransfer::State::Erasing);
    t.OnTimeout();
    EXPECT_EQ(events.Count("Operation timeout"), 2);
}

TEST(ConfigFileExtension, Table) {
    const struct {
        uint16_t type;
        const char* extension;
    } cases[] = {
        {0x1101, "encoder"},   {0x1102, "4encoder"},  {0x1105, "hd"},         {0x1115, "4hd"},
        {0x2101, "mux"},       {0x2102, "2mux"},      {0x2103, "7ird"},       {0x2105, "ird8mpts"},
        {0x2115, "ird8spts"},  {0x3101, "sas"},       {0x3102, "sas_qam"},    {0x4101, "qam"},
        {0x4102, "qpsk"},      {0x4104, "asi4qam"},   {0x4107, "DTMB"},       {0x4111, "mux_qam"},
        {0x4114, "ird4_4qam"}, {0x4124, "ird6_4qam"}, {0x4131, "ird6sasqam"}, {0x4144, "sas4qam"},
        {0x5101, "ds3"},       {0x5103, "4ird"},      {0x5104, "ip_asi"},     {0x5106, "ird"},
        {0x5109, "4e1"},       {0x5124, "asi8_ip"},   {0x5176, "mux_ird"},    {0x5217, "ci4ird"},
        {0x1808, "config"},    {0x0000, "config"},    {0x4103, "config"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(ConfigFileExtension(c.type), c.extension) << std::hex << c.type;
}

// ---- Configuration operations --------------------------------------------------------------------------

class RecordingPage : public IReplyReceiver {
public:
    void OnDeviceReply(DeviceRecord*, const ReplyView&) override {}
    void OnConfigOperation(int started, int operation) override { calls.emplace_back(started, operation); }
    void OnTimer(int) override {}
    std::vector<std::pair<int, int>> calls;
};

TEST(ConfigOperation, ConfirmationsSlotAndPostedStart) {
    ScriptedPrompt prompt;
    ScopedPrompt scope(&prompt);
    auto device = std::make_shared<DeviceRecord>();
    device->status = 3;
    RecordingPage page;
    SetReplyWindow(device.get(), &page);
    std::vector<std::function<void()>> posted;
    auto post = [&posted](std::function<void()> work) { posted.push_back(std::move(work)); };

    struct Case {
        int operation;
        int answer;
        const char* question;  // null: none asked
        bool sent;
    } cases[] = {
        {1, IDOK, nullptr, true},
        {2, IDOK, "Re-load settings form flash will clear all un-saved settings, continue ?", true},
        {2, IDCANCEL, "Re-load settings form flash will clear all un-saved settings, continue ?", false},
        {3, IDOK, "Restore to factory will clear all settings to default, continue ?", true},
        {3, IDCANCEL, "Restore to factory will clear all settings to default, continue ?", false},
    };
    for (const Case& c : cases) {
        prompt.shown.clear();
        prompt.answers = {c.answer};
        page.calls.clear();
        posted.clear();
        device->link->sendLength = 50;  // something stale in the slot
        EXPECT_EQ(ConfigOperation(device, c.operation, post), c.sent);
        if (c.question) {
            ASSERT_EQ(prompt.shown.size(), 1u);
            EXPECT_EQ(prompt.shown[0].text, c.question);
            EXPECT_EQ(prompt.shown[0].caption, "Confirm");
        } else {
            EXPECT_TRUE(prompt.shown.empty());
        }
        if (!c.sent) {
            EXPECT_EQ(device->link->sendLength, 50);
            EXPECT_TRUE(posted.empty());
            continue;
        }
        const uint8_t* p = device->link->sendBuffer.data();
        EXPECT_EQ(device->link->sendLength, 12);
        EXPECT_EQ(p[4], 3);
        EXPECT_EQ(p[7], c.operation);
        // The page hears of the start only after the caller returned.
        EXPECT_TRUE(page.calls.empty());
        ASSERT_EQ(posted.size(), 1u);
        posted[0]();
        EXPECT_EQ(page.calls, (std::vector<std::pair<int, int>>{{1, c.operation}}));
    }

    device->status = -1;
    device->link->sendLength = 0;
    prompt.shown.clear();
    EXPECT_FALSE(ConfigOperation(device, 3, post));
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(device->link->sendLength, 0);
    UnregisterReceiver(device.get(), &page);
}

}  // namespace config_transfer_test
}  // namespace nms
