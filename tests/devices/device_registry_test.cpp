#include "devices/device_registry.h"

#include <gtest/gtest.h>

namespace nms {
namespace device_registry_test {

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

TEST(DeviceRegistry, AddressLookupKeepsListOrderThroughEditsAndRemovals) {
    DeviceRegistry registry;
    auto a = Make(7, 2009, 1), b = Make(8, 2009, 1), c = Make(7, 2010, 2), d = Make(7, 2009, 3);
    for (const auto& x : {a, b, c, d})
        registry.Append(x);
    using List = std::vector<DevicePtr>;
    EXPECT_EQ(registry.FindByAddress(7), (List{a, c, d}));
    // b moves to address 7: it sits between a and c there, as in the list.
    registry.Edit(b.get(), [](DeviceRecord& r) { r.address = 7; });
    EXPECT_EQ(registry.FindByAddress(7), (List{a, b, c, d}));
    EXPECT_TRUE(registry.FindByAddress(8).empty());
    registry.Edit(a.get(), [](DeviceRecord& r) { r.address = 9; });
    EXPECT_EQ(registry.FindByAddress(7), (List{b, c, d}));
    EXPECT_EQ(registry.FindByEndpoint(7, 2009, 1), b);
    ASSERT_TRUE(registry.Remove(c.get()));
    EXPECT_EQ(registry.FindByAddress(7), (List{b, d}));
    EXPECT_EQ(registry.Find(c.get()), nullptr);
    EXPECT_EQ(registry.Find(d.get()), d);
    // Appending the same record twice lists it once.
    registry.Append(d);
    EXPECT_EQ(registry.Size(), 3u);
    // Neither index keeps a removed record alive.
    std::weak_ptr<DeviceRecord> gone = c;
    c.reset();
    EXPECT_TRUE(gone.expired());
}

TEST(DeviceRegistry, RemovedRecordStaysAliveForItsHolders) {
    DeviceRegistry registry;
    registry.Append(Make(5, 1, 1));
    DevicePtr held = registry.FindByEndpoint(5, 1, 1);
    registry.Clear();
    EXPECT_EQ(registry.Size(), 0u);
    EXPECT_EQ(held->address, 5u);  // the network thread's reference keeps it valid
}

}  // namespace device_registry_test
}  // namespace nms
