#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

#include "devices/device_list_file.h"
#include "devices/device_tree_model.h"
#include "platform/prompt.h"

namespace nms {
namespace device_list_test {

namespace fs = std::filesystem;

std::array<uint8_t, 114> Record(const std::string& node, const std::string& name, uint16_t type,
                                std::array<uint8_t, 4> ip, uint16_t port) {
    DeviceRecord d;
    d.nodeName = node;
    d.deviceName = name;
    d.typeCode = type;
    d.SetAddressBytes(ip[0], ip[1], ip[2], ip[3]);
    d.port = port;
    return EncodeDeviceRecord(d);
}

std::vector<uint8_t> ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

class DeviceListFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("velmora-list-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        setenv("XDG_DATA_HOME", dir.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
    ScriptedPrompt prompt;
    ScopedPrompt scope{&prompt};
};

TEST(DeviceRecordCodec, GoldenRecord) {
    DeviceRecord d;
    d.nodeName = "Node1";
    d.deviceName = "QAM";
    d.typeCode = 0x4101;
    d.SetAddressBytes(192, 168, 1, 5);
    d.port = 2009;
    d.status = 3;
    d.busy = 1;
    d.version = 0x12020501;  // payload bytes 01 05 02 12
    const auto r = EncodeDeviceRecord(d);
    std::array<uint8_t, 114> want{};
    std::memcpy(&want[0], "Node1", 5);
    std::memcpy(&want[48], "QAM", 3);
    const uint8_t tail[] = {0x01, 0x41, 192, 168, 1, 5,    0xD9, 0x07, 0x03,
                            0x01, 0,    0,   0,   0, 0x01, 0x05, 0x02, 0x12};
    std::memcpy(&want[96], tail, sizeof tail);
    EXPECT_EQ(r, want);

    const FileDeviceRecord back = DecodeDeviceRecord(r.data());
    EXPECT_EQ(back.nodeName, "Node1");
    EXPECT_EQ(back.deviceName, "QAM");
    EXPECT_EQ(back.typeCode, 0x4101);
    EXPECT_EQ(back.address, d.address);
    EXPECT_EQ(back.port, 2009);
    EXPECT_EQ(back.version, 0x12020501u);
}

TEST(DeviceRecordCodec, NamesAreCutTo47Bytes) {
    std::array<uint8_t, 114> raw{};
    std::memset(&raw[0], 'N', 48);  // no NUL at all
    std::memset(&raw[48], 'D', 48);
    const FileDeviceRecord r = DecodeDeviceRecord(raw.data());
    EXPECT_EQ(r.nodeName, std::string(47, 'N'));
    EXPECT_EQ(r.deviceName, std::string(47, 'D'));

    DeviceRecord d;
    d.deviceName = std::string(60, 'x');
    const auto enc = EncodeDeviceRecord(d);
    EXPECT_EQ(enc[48 + 46], 'x');
    EXPECT_EQ(enc[48 + 47], 0);
}

TEST(DeviceRecordCodec, ParseIgnoresPartialLastRecord) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 2; ++i) {
        auto r = Record("N", "D" + std::to_string(i), 0x4101, {10, 0, 0, uint8_t(i)}, 2009);
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    bytes.resize(bytes.size() + 100, 0x55);
    EXPECT_EQ(ParseDeviceList(bytes.data(), bytes.size()).size(), 2u);
    EXPECT_TRUE(ParseDeviceList(bytes.data(), 0).empty());
    EXPECT_TRUE(ParseDeviceList(bytes.data(), 113).empty());
}

TEST_F(DeviceListFileTest, LoadRules) {
    std::vector<uint8_t> bytes;
    auto add = [&](const std::array<uint8_t, 114>& r) { bytes.insert(bytes.end(), r.begin(), r.end()); };
    add(Record("Node1", "QAM", 0x4101, {192, 168, 1, 5}, 2009));
    add(Record("Empty", "", 0x4101, {0, 0, 0, 0}, 0));                // node only
    add(Record("Node1", "Unknown", 0x4124, {192, 168, 1, 6}, 2009));  // type in no row: skipped
    add(Record("", "Orphan", 0x4101, {192, 168, 1, 7}, 2009));        // names no node: skipped
    add(Record("Node2", "Mux", 0x2103, {192, 168, 1, 8}, 2010));
    bytes.resize(bytes.size() + 57, 0xEE);  // partial record
    WriteAll(dir / "list.db", bytes);

    DeviceRegistry registry;
    DeviceTreeModel model(registry);
    ASSERT_TRUE(model.LoadDevices((dir / "list.db").string()));
    ASSERT_EQ(model.Nodes().size(), 3u);
    EXPECT_EQ(model.Nodes()[0].name, "Node1");
    EXPECT_EQ(model.Nodes()[1].name, "Empty");
    EXPECT_TRUE(model.Nodes()[1].devices.empty());
    EXPECT_EQ(model.Nodes()[2].name, "Node2");
    const auto list = registry.Snapshot();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->deviceName, "QAM");
    EXPECT_EQ(list[1]->deviceName, "Mux");
    EXPECT_EQ(list[1]->port, 2010);
    EXPECT_EQ(list[1]->status.load(), 0);
    EXPECT_TRUE(prompt.shown.empty());

    // Saving right after loading writes only the devices: the empty node is gone.
    ASSERT_TRUE(model.SaveDevices((dir / "saved.db").string()));
    const auto saved = ReadAll(dir / "saved.db");
    ASSERT_EQ(saved.size(), 2u * 114);
    // Byte-identical to the loaded records except the run-time link bytes.
    std::vector<uint8_t> first(bytes.begin(), bytes.begin() + 114);
    std::vector<uint8_t> got(saved.begin(), saved.begin() + 114);
    for (int i = 106; i < 110; ++i)
        first[i] = got[i] = 0;
    EXPECT_EQ(got, first);
}

TEST_F(DeviceListFileTest, ZeroByteAndMissingFiles) {
    WriteAll(dir / "empty.db", {});
    DeviceRegistry registry;
    DeviceTreeModel model(registry);
    EXPECT_TRUE(model.LoadDevices((dir / "empty.db").string()));
    EXPECT_TRUE(model.Nodes().empty());
    EXPECT_FALSE(model.LoadDevices((dir / "missing.db").string()));
}

TEST_F(DeviceListFileTest, OpeningAnotherListReplacesTheOldOne) {
    std::vector<uint8_t> a, b;
    auto ra = Record("A", "devA", 0x4101, {10, 0, 0, 1}, 2009);
    auto rb = Record("B", "devB", 0x4101, {10, 0, 0, 2}, 2009);
    a.assign(ra.begin(), ra.end());
    b.assign(rb.begin(), rb.end());
    WriteAll(dir / "a.db", a);
    WriteAll(dir / "b.db", b);
    DeviceRegistry registry;
    DeviceTreeModel model(registry);
    ASSERT_TRUE(model.LoadDevices((dir / "a.db").string()));
    ASSERT_TRUE(model.LoadDevices((dir / "b.db").string()));
    ASSERT_EQ(registry.Size(), 1u);
    EXPECT_EQ(registry.Snapshot()[0]->deviceName, "devB");
    ASSERT_EQ(model.Nodes().size(), 1u);
}

TEST_F(DeviceListFileTest, SharedAddressWarnsOnceForTheSecondDevice) {
    std::vector<uint8_t> bytes;
    for (const char* name : {"first", "second"}) {
        auto r = Record("N", name, 0x4101, {10, 1, 1, 1}, 2009);
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    WriteAll(dir / "dup.db", bytes);
    DeviceRegistry registry;
    DeviceTreeModel model(registry);
    ASSERT_TRUE(model.LoadDevices((dir / "dup.db").string()));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "second IP Conflict With Other Device,\nName:first");
    EXPECT_EQ(registry.Size(), 2u);
}

// The loading rules, restated as plainly as they read (nodes by a scan of the names seen so far, conflicts by
// a scan of the devices added so far), must give what the indexed loader gives: same nodes, same devices in
// the same order, the same conflict boxes in the same order.
TEST_F(DeviceListFileTest, IndexedLoadingMatchesThePlainRules) {
    std::mt19937 random(20);
    const uint16_t types[] = {0x4101, 0x2103, 0x4124 /* in no row */, 0x2101};
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 3000; ++i) {
        const int n = int(random() % 40);
        const std::string node = n == 0 ? "" : "Node" + std::to_string(n);
        const std::string name = random() % 15 == 0 ? "" : "D" + std::to_string(i);
        const uint8_t host = uint8_t(random() % 60);  // a small pool: many shared addresses
        auto r = Record(node, name, types[random() % 4], {10, 0, 0, host}, uint16_t(2009 + random() % 2));
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    WriteAll(dir / "big.db", bytes);

    std::vector<std::string> nodes, boxes;
    std::vector<FileDeviceRecord> added;
    for (const FileDeviceRecord& r : ParseDeviceList(bytes.data(), bytes.size())) {
        if (!r.nodeName.empty() && std::find(nodes.begin(), nodes.end(), r.nodeName) == nodes.end())
            nodes.push_back(r.nodeName);
        if (r.deviceName.empty() || r.typeCode == 0x4124 ||
            std::find(nodes.begin(), nodes.end(), r.nodeName) == nodes.end())
            continue;
        for (const FileDeviceRecord& other : added)
            if (other.address == r.address)
                boxes.push_back(r.deviceName + " IP Conflict With Other Device,\nName:" + other.deviceName);
        added.push_back(r);
    }

    DeviceRegistry registry;
    DeviceTreeModel model(registry);
    ASSERT_TRUE(model.LoadDevices((dir / "big.db").string()));
    ASSERT_EQ(model.Nodes().size(), nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i)
        EXPECT_EQ(model.Nodes()[i].name, nodes[i]);
    const auto list = registry.Snapshot();
    ASSERT_EQ(list.size(), added.size());
    for (size_t i = 0; i < added.size(); ++i) {
        EXPECT_EQ(list[i]->deviceName, added[i].deviceName);
        EXPECT_EQ(list[i]->nodeName, added[i].nodeName);
    }
    ASSERT_EQ(prompt.shown.size(), boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i)
        ASSERT_EQ(prompt.shown[i].text, boxes[i]) << i;

    // The indexes follow edits, renames and deletes: a device moved to a shared address warns against the
    // others there, never against itself; a renamed node is found by its new name only.
    prompt.shown.clear();
    DeviceRecord* moved = list[0].get();
    const auto atTarget = registry.FindByAddress(list[1]->address);
    model.EditDevice(moved, "moved", list[1]->address, 2009, 0x4101);
    size_t expected = 0;
    for (const DevicePtr& d : atTarget)
        expected += d.get() != moved;
    EXPECT_EQ(prompt.shown.size(), expected);
    // The first device of the list keeps its place: first among the devices at its new address.
    EXPECT_EQ(registry.FindByAddress(list[1]->address).front().get(), moved);
    EXPECT_EQ(registry.FindByEndpoint(list[1]->address, 2009, 0x4101).get(), moved);
    const int node = model.FindNode(nodes[0]);
    model.RenameNode(node, "Renamed");
    EXPECT_EQ(model.FindNode("Renamed"), node);
    EXPECT_EQ(model.FindNode(nodes[0]), -1);
}

// A list of random bytes (as a damaged or foreign file would be) loads in time linear in its size: every
// record with a name makes a node, so a loader that searches its nodes one by one never finishes.
TEST_F(DeviceListFileTest, TenMegabytesOfRandomBytesLoad) {
    std::mt19937 random(10);
    std::vector<uint8_t> bytes(10u << 20);
    for (uint8_t& b : bytes)
        b = uint8_t(random());
    WriteAll(dir / "random.db", bytes);
    std::set<std::string> names;
    size_t records = 0;
    for (const FileDeviceRecord& r : ParseDeviceList(bytes.data(), bytes.size())) {
        ++records;
        if (!r.nodeName.empty())
            names.insert(r.nodeName);
    }
    DeviceRegistry registry;
    DeviceTreeModel model(registry);
    ASSERT_TRUE(model.LoadDevices((dir / "random.db").string()));
    EXPECT_EQ(records, bytes.size() / 114);
    EXPECT_EQ(model.Nodes().size(), names.size());
    EXPECT_LT(registry.Size(), records / 100);  // few random type codes are in the catalogue
}

TEST_F(DeviceListFileTest, FailedSaveTellsAndKeepsTheOldFile) {
    std::vector<uint8_t> old(114, 0x11);
    WriteAll(dir / "keep.db", old);
    DeviceRegistry registry;
    DeviceTreeModel model(registry);
    model.FindOrAddNode("N");
    ASSERT_TRUE(model.AddDevice("N", "dev", 0x4101, 0x0100000A, 2009));
    // The temporary file cannot be created in a folder without write permission.
    if (::geteuid() == 0) {
        // root ignores permissions: make the temporary name a folder instead
        fs::create_directories(dir / "keep.db.tmp" / "x");
    } else {
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    }
    EXPECT_FALSE(model.SaveDevices((dir / "keep.db").string()));
    fs::permissions(dir, fs::perms::owner_all);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_NE(prompt.shown[0].text.find("Cannot save the device list"), std::string::npos);
    EXPECT_EQ(ReadAll(dir / "keep.db"), old);
}

struct Recorder : IDeviceTreeListener {
    void OnDeviceRemoving(DeviceRecord* d) override { removing.push_back(d->deviceName); }
    std::vector<std::string> removing;
};

TEST_F(DeviceListFileTest, OperatorRoadAddsUnderSelectionAndSaves) {
    DeviceRegistry registry;
    DeviceTreeModel model(registry);
    int autoSaved = 0;
    model.SetAutoSavedHook([&] { ++autoSaved; });
    const int n1 = model.FindOrAddNode("Node1");
    model.FindOrAddNode("Node2");
    // Loading road: no selection, node by name, no save.
    ASSERT_TRUE(model.AddDevice("Node1", "a", 0x4101, 1, 2009));
    EXPECT_EQ(autoSaved, 0);
    EXPECT_FALSE(fs::exists(DeviceTreeModel::DefaultListPath()));
    // Operator road: a device selected under Node1.
    TreeSelection sel{n1, registry.Snapshot()[0].get()};
    ASSERT_TRUE(model.AddDevice("", "b", 0x4101, 2, 2009, sel));
    EXPECT_EQ(autoSaved, 1);
    EXPECT_EQ(ReadAll(DeviceTreeModel::DefaultListPath()).size(), 2u * 114);
    EXPECT_EQ(model.Nodes()[0].devices.size(), 2u);
    EXPECT_EQ(registry.Snapshot()[1]->nodeName, "Node1");
    // Unknown type: nothing.
    EXPECT_FALSE(model.AddDevice("", "c", 0x4124, 3, 2009, sel));
    // Empty node name and nothing selected names no node.
    EXPECT_FALSE(model.AddDevice("", "d", 0x4101, 4, 2009));
}

TEST_F(DeviceListFileTest, DeleteRules) {
    DeviceRegistry registry;
    DeviceTreeModel model(registry);
    Recorder rec;
    model.SetListener(&rec);
    const int n = model.FindOrAddNode("Node1");
    DeviceRecord* dev = model.AddDevice("Node1", "qam", 0x4101, 1, 2009).get();

    EXPECT_EQ(model.DeleteSelected(TreeSelection{n, nullptr}), DeviceTreeModel::DeleteResult::HasDevices);
    EXPECT_EQ(prompt.shown.back().text, "Please delete device first!");

    prompt.answers = {IDCANCEL};
    EXPECT_EQ(model.DeleteSelected(TreeSelection{n, dev}), DeviceTreeModel::DeleteResult::Cancelled);
    EXPECT_EQ(prompt.shown.back().text, "Sure to delete 'qam' ?");
    EXPECT_EQ(prompt.shown.back().caption, "Confirm");
    EXPECT_EQ(registry.Size(), 1u);

    EXPECT_EQ(model.DeleteSelected(TreeSelection{n, dev}), DeviceTreeModel::DeleteResult::Deleted);
    EXPECT_EQ(registry.Size(), 0u);
    EXPECT_EQ(rec.removing, std::vector<std::string>{"qam"});
    EXPECT_EQ(model.DeleteSelected(TreeSelection{n, nullptr}), DeviceTreeModel::DeleteResult::Deleted);
    EXPECT_TRUE(model.Nodes().empty());
}

TEST_F(DeviceListFileTest, EditAndRenameUpdateRecordsAndSave) {
    DeviceRegistry registry;
    DeviceTreeModel model(registry);
    const int n = model.FindOrAddNode("Node1");
    DeviceRecord* a = model.AddDevice("Node1", "a", 0x4101, 1, 2009).get();
    model.AddDevice("Node1", "b", 0x4101, 2, 2009);
    model.EditDevice(a, "a2", 2, 3000, 0x2103);  // now shares b's address
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "a2 IP Conflict With Other Device,\nName:b");
    EXPECT_EQ(a->deviceName, "a2");
    EXPECT_EQ(a->port, 3000);
    EXPECT_EQ(a->typeCode, 0x2103);
    EXPECT_EQ(registry.FindByEndpoint(2, 3000, 0x2103).get(), a);
    model.RenameNode(n, "Renamed");
    for (const auto& d : registry.Snapshot())
        EXPECT_EQ(d->nodeName, "Renamed");
    const auto saved = ParseDeviceList(ReadAll(DeviceTreeModel::DefaultListPath()).data(), 2 * 114);
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].nodeName, "Renamed");
    EXPECT_EQ(saved[0].deviceName, "a2");
}

}  // namespace device_list_test
}  // namespace nms
