#include "page_fixture.h"

#include <mutex>

#include "devices/device_packet.h"
#include "devices/reply_routing.h"
#include "devices/reply_view.h"
#include "pagebase/form_template_view.h"

namespace nms::test {
namespace {

std::optional<SentPacket> ReadSlot(DeviceRecord* device, bool take) {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    if (!device->link || device->link->sendLength <= 0)
        return std::nullopt;
    DeviceLink& link = *device->link;
    SentPacket packet;
    packet.bytes.assign(link.sendBuffer.begin(), link.sendBuffer.begin() + link.sendLength);
    if (take)
        link.sendLength = 0;
    const std::vector<uint8_t>& b = packet.bytes;
    if (b.size() < size_t(kPacketOverhead))
        return packet;
    packet.type = uint16_t(b[0] << 8 | b[1]);
    packet.b = b[2];
    packet.c = b[3];
    packet.command = b[4];
    packet.payload.assign(b.begin() + kPacketHeaderSize, b.end() - kPacketCrcSize);
    const size_t n = b.size();
    const uint32_t crc =
        uint32_t(b[n - 4]) << 24 | uint32_t(b[n - 3]) << 16 | uint32_t(b[n - 2]) << 8 | b[n - 1];
    packet.crcOk = Crc32Mpeg2(b.data(), int(n) - kPacketCrcSize) == crc;
    return packet;
}

}  // namespace

QApplication* EnsureApplication() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return app;
    static int argc = 1;
    static char name[] = "velmora-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return app;
}

PageFixture::PageFixture(uint16_t typeCode) : m_app(EnsureApplication()) {
    m_device = std::make_shared<DeviceRecord>();
    m_device->deviceName = "Dev1";
    m_device->nodeName = "Node1";
    m_device->typeCode = typeCode;
    m_device->SetAddressBytes(127, 0, 0, 1);
    m_device->port = kDefaultDevicePort;
    m_device->status.store(3);
    m_registry.Append(m_device);
}

PageFixture::~PageFixture() = default;

void PageFixture::Bind(CFormTemplateView* page, int pageParam) {
    page->SetPageParam(pageParam);
    page->SetDevice(m_device.get());
    page->show();
    QCoreApplication::processEvents();
}

std::optional<SentPacket> PageFixture::PeekSentPacket() const {
    return ReadSlot(m_device.get(), false);
}

std::optional<SentPacket> PageFixture::TakeSentPacket() {
    return ReadSlot(m_device.get(), true);
}

void PageFixture::FeedReply(uint8_t command, const std::vector<uint8_t>& payload, uint8_t b, uint8_t c) {
    std::vector<uint8_t> packet(payload.size() + kPacketOverhead);
    int length = 0;
    BuildPacket(m_device->typeCode, command, b, c, packet.data(), &length, payload.data(),
                uint16_t(payload.size()));
    // The link hands over the packet without its CRC.
    packet.resize(size_t(length - kPacketCrcSize));
    FeedRawPacket(packet);
}

void PageFixture::FeedRawPacket(const std::vector<uint8_t>& packet) {
    DeliverDeviceReply(m_device.get(), ReplyView(packet.data(), int(packet.size())));
}

void PageFixture::FeedConfigOperationReply(int operation) {
    DeliverConfigOperationReply(m_device.get(), operation);
}

void PageFixture::FeedDeviceRestart() {
    DeliverDeviceRestart(m_device.get());
}

bool PageFixture::FireTimer(CFormTemplateView* page, int id) {
    return page->Timers().Fire(id);
}

}  // namespace nms::test
