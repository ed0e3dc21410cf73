#include "devices/device_events.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "devices/device_record.h"
#include "event_recorder.h"
#include "platform/data_folder.h"

namespace nms {
namespace device_events_test {

std::string ReadLog() {
    std::ifstream in(DataFilePath("alarmlog.txt"), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class DeviceEvents : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::remove(DataFilePath("alarmlog.txt")); }
    void TearDown() override { SetDeviceTypeNameResolver(nullptr); }
};

TEST_F(DeviceEvents, EventCarriesDeviceNameAddressTypeNameAndLocalTime) {
    SetDeviceTypeNameResolver(
        [](uint16_t code) { return code == 0x2101 ? std::string("MUX") : std::string(); });
    DeviceRecord d;
    d.deviceName = "Mux A";
    d.typeCode = 0x2101;
    d.SetAddressBytes(192, 168, 1, 20);
    test::EventRecorder recorder;
    PostDeviceEvent(&d, "Device online");
    PostDeviceEvent(nullptr, "ignored");
    const auto events = recorder.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].deviceName, "Mux A");
    EXPECT_EQ(DottedAddress(events[0].address), "192.168.1.20");
    EXPECT_EQ(events[0].typeName, "MUX");
    EXPECT_EQ(events[0].text, "Device online");
    EXPECT_FALSE(events[0].timeText.empty());
}

TEST_F(DeviceEvents, TypeNameComesFromTheCatalogue) {
    DeviceRecord d;
    d.deviceName = "Mux";
    d.typeCode = 0x2101;
    test::EventRecorder recorder;
    PostDeviceEvent(&d, "Device restart");
    d.typeCode = 0x7777;
    PostDeviceEvent(&d, "Device restart");
    const auto events = recorder.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].typeName, "ASI Multiplexer(8ASI)");
    EXPECT_EQ(events[1].typeName, "");
}

TEST_F(DeviceEvents, TimeTextHasNoLeadingZeros) {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 5;
    t.tm_hour = 7;
    t.tm_min = 3;
    t.tm_sec = 9;
    EXPECT_EQ(FormatAlarmTime(t), "2024-1-5 7:3:9");
}

TEST_F(DeviceEvents, LogLinesAreAppendedInTheExactFormat) {
    DeviceRecord d;
    d.deviceName = "Enc 1";
    d.typeCode = 0x7777;  // not in the catalogue: empty type field
    d.SetAddressBytes(10, 0, 0, 7);
    DeviceEvent e{"Enc 1", d.address, "", "Device offline", "2024-1-5 7:3:9"};
    EXPECT_EQ(AlarmLogLine(e), "Enc 1   10.0.0.7      Device offline   2024-1-5 7:3:9\n");
    {
        std::ofstream seed(DataFilePath("alarmlog.txt"), std::ios::binary);
        seed << "earlier line\n";
    }
    test::EventRecorder recorder(/*appendToLog=*/true);
    PostDeviceEvent(&d, "Device offline");
    PostDeviceEvent(&d, "Device online");
    const std::string log = ReadLog();
    const auto events = recorder.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(log, "earlier line\n" + AlarmLogLine(events[0]) + AlarmLogLine(events[1]));
    EXPECT_NE(log.find("Enc 1   10.0.0.7      Device online   "), std::string::npos);
}

}  // namespace device_events_test
}  // namespace nms
