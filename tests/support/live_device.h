// A device page against a simulated device over real UDP: one device of a type on its own loopback
// address (answered as devsim answers it, unless a test gives its own handler), a registry with the device
// online, the network thread and the GUI hand-off, message boxes answered from a script and device events
// recorded.
//
//   LiveDevice live(0x2101);
//   ASSERT_TRUE(live.Start());
//   CMuxPidFilterView page;
//   ASSERT_TRUE(live.Show(&page, /*pageParam=*/0));   // bound, shown, its first exchange done
//   page.GetButton()->click();
//   ASSERT_TRUE(live.WaitIdle(&page));
#pragma once

#include <cstdint>
#include <memory>

#include "device_simulator.h"
#include "devices/device_registry.h"
#include "devsim_device.h"
#include "event_recorder.h"
#include "platform/prompt.h"

namespace nms {
class CFormTemplateView;
class NetworkThread;
class QtGuiHandoff;
}  // namespace nms

namespace nms::test {

class LiveDevice {
public:
    // addressIndex: which loopback address (SimLoopbackAddress) the device takes.
    explicit LiveDevice(uint16_t typeCode, int addressIndex = 90, DevsimOptions options = {});
    ~LiveDevice();
    LiveDevice(const LiveDevice&) = delete;
    LiveDevice& operator=(const LiveDevice&) = delete;

    // Replaces devsim's answers (before Start).
    void SetHandler(DeviceSimulator::Handler handler) { m_handler = std::move(handler); }
    bool Start();

    DeviceRecord* Device() const { return m_device.get(); }
    DeviceSimulator& Sim() { return m_sim; }
    int SimIndex() const { return m_index; }
    ScriptedPrompt& Prompt() { return m_prompt; }
    EventRecorder& Events() { return m_events; }

    // Sets the variant, binds the device, shows the page and waits until its first exchange is done.
    bool Show(CFormTemplateView* page, int pageParam);
    // Lets queued replies in until the page no longer waits; false after timeoutMs.
    bool WaitIdle(CFormTemplateView* page, int timeoutMs = 15000);

private:
    uint16_t m_type;
    int m_addressIndex;
    DevsimOptions m_options;
    DeviceSimulator::Handler m_handler;
    ScriptedPrompt m_prompt;
    ScopedPrompt m_scopedPrompt{&m_prompt};
    EventRecorder m_events;
    DeviceSimulator m_sim;
    int m_index = -1;
    DeviceRegistry m_registry;
    DevicePtr m_device;
    std::unique_ptr<QtGuiHandoff> m_gui;
    std::unique_ptr<NetworkThread> m_net;
};

}  // namespace nms::test
