#include "devices/device_registry.h"

#include <gtest/gtest.h>

namespace nms {
namespace {

DevicePtr Make(uint32_t address, uint16_t port, uint16_t type) {
    auto d = std::make_shared<DeviceRecord>();
    d->address = address;
    d->port = port;
    d->typeCode = type;
    return d;
}

TEST(DeviceRegistry, EndpointLookupYieldsTheFirstInListOrder) {
    DeviceRegistry registry;
    auto a = Make(1, 2009, 0x4101);
    auto b = Make(1, 2009, 0x4101);  // same endpoint, listed second
    auto c = Make(1, 2009, 0x2103);  // same address and port, other type
    registry.Append(a);
    registry.Append(b);
    registry.Append(c);
    EXPECT_EQ(registry.FindByEndpoint(1, 2009, 0x4101), a);
    EXPECT_EQ(registry.FindByEndpoint(1, 2009, 0x2103), c);
    EXPECT_EQ(registry.FindByEndpoint(1, 2010, 0x4101), nullptr);
    EXPECT_EQ(registry.FindByEndpoint(2, 2009, 0x4101), nullptr);
    ASSERT_TRUE(registry.Remove(a.get()));
    EXPECT_EQ(registry.FindByEndpoint(1, 2009, 0x4101), b);
    registry.Edit(b.get(), [](DeviceRecord& d) { d.port = 3000; });
    EXPECT_EQ(registry.FindByEndpoint(1, 2009, 0x4101), nullptr);
    EXPECT_EQ(registry.FindByEndpoint(1, 3000, 0x4101), b);
    EXPECT_FALSE(registry.Remove(a.get()));
}

TEST(DeviceRegistry, RemovedRecordStaysAliveForItsHolders) {
    DeviceRegistry registry;
    registry.Append(Make(5, 1, 1));
    DevicePtr held = registry.FindByEndpoint(5, 1, 1);
    registry.Clear();
    EXPECT_EQ(registry.Size(), 0u);
    EXPECT_EQ(held->address, 5u);  // the network thread's reference keeps it valid
}

}  // namespace
}  // namespace nms
