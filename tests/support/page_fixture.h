// A device page under test: one online device bound to the page, the packet an action queued, replies
// fed back through the same delivery as the network thread's, message boxes answered from a script,
// device events recorded, and window timers fired on demand (never waited for).
//
//   PageFixture fx;
//   CMyPage page;
//   fx.Bind(&page, /*pageParam=*/1);
//   QTest::mouseClick(page.m_getButton, Qt::LeftButton);
//   auto sent = fx.TakeSentPacket();            // the request the click queued
//   fx.FeedReply(0x40, {0x01, 0x02});           // the device's answer, handled by page.OnDeviceReply
//   fx.FireTimer(&page, 4);                     // the wait's time-out
#pragma once

#include <QApplication>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "devices/device_registry.h"
#include "event_recorder.h"
#include "platform/prompt.h"

namespace nms {
class CFormTemplateView;
}

namespace nms::test {

// Creates the QApplication of a GUI test once (offscreen platform from the environment).
QApplication* EnsureApplication();

// A request as it sits in the device's send slot.
struct SentPacket {
    uint16_t type = 0;
    uint8_t b = 0, c = 0, command = 0;
    std::vector<uint8_t> payload;
    std::vector<uint8_t> bytes;  // the whole packet, CRC included
    bool crcOk = false;
};

class PageFixture {
public:
    // typeCode: the device's type; the device is online (status 3), named "Dev1", at 127.0.0.1:2009.
    explicit PageFixture(uint16_t typeCode = 0x2101);
    ~PageFixture();

    DeviceRecord* Device() const { return m_device.get(); }
    DevicePtr DeviceShared() const { return m_device; }
    DeviceRegistry& Registry() { return m_registry; }
    ScriptedPrompt& Prompt() { return m_prompt; }
    EventRecorder& Events() { return m_events; }

    // Sets the page variant, binds the device and shows the page.
    void Bind(CFormTemplateView* page, int pageParam = 0);

    // The request in the send slot, if any, left in place.
    std::optional<SentPacket> PeekSentPacket() const;
    // The request in the send slot, if any; the slot is emptied as the network thread would.
    std::optional<SentPacket> TakeSentPacket();

    // Frames a reply for the fixture's device and delivers it as the network thread does (to the page
    // registered for the device, synchronously, on this thread).
    void FeedReply(uint8_t command, const std::vector<uint8_t>& payload, uint8_t b = 1, uint8_t c = 1);
    // Delivers raw bytes as a packet of the given length (for short or inconsistent replies).
    void FeedRawPacket(const std::vector<uint8_t>& packet);
    // The device's command 3 reply and command 4 (restart), as the network thread delivers them.
    void FeedConfigOperationReply(int operation);
    void FeedDeviceRestart();

    // Fires a running window timer of the page; false when it is not running.
    bool FireTimer(CFormTemplateView* page, int id);

private:
    QApplication* m_app;
    DeviceRegistry m_registry;
    DevicePtr m_device;
    ScriptedPrompt m_prompt;
    ScopedPrompt m_scopedPrompt{&m_prompt};
    EventRecorder m_events;
};

}  // namespace nms::test
