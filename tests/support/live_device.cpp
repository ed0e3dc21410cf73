#include "live_device.h"

#include <arpa/inet.h>

#include <QCoreApplication>
#include <QTest>

#include "devices/network_thread.h"
#include "devices/qt_gui_handoff.h"
#include "page_fixture.h"
#include "pagebase/form_template_view.h"

namespace nms::test {

LiveDevice::LiveDevice(uint16_t typeCode, int addressIndex, DevsimOptions options)
    : m_type(typeCode), m_addressIndex(addressIndex), m_options(options) {
    EnsureApplication();
    m_handler = MakeDevsimHandler(typeCode, options);
}

LiveDevice::~LiveDevice() {
    if (m_net)
        m_net->Stop();
    m_sim.Stop();
}

bool LiveDevice::Start() {
    m_index = m_sim.AddDevice(SimLoopbackAddress(m_addressIndex), 0, m_type);
    if (m_index < 0)
        return false;
    if (m_handler)
        m_sim.SetHandler(m_index, m_handler);
    if (!m_sim.Start())
        return false;
    m_device = std::make_shared<DeviceRecord>();
    m_device->deviceName = "Live";
    m_device->nodeName = "Node1";
    m_device->typeCode = m_type;
    m_device->address = m_sim.Address(m_index);
    m_device->port = m_sim.Port(m_index);
    m_device->status.store(3);
    m_registry.Append(m_device);
    m_gui = std::make_unique<QtGuiHandoff>();
    NetworkThread::Options options;
    options.bindAddress = htonl(INADDR_LOOPBACK);
    options.receiveBufferBytes = 1 << 20;
    m_net = std::make_unique<NetworkThread>(m_registry, *m_gui, nullptr, options);
    return m_net->Start();
}

bool LiveDevice::Show(CFormTemplateView* page, int pageParam) {
    page->resize(1000, 620);
    page->SetPageParam(pageParam);
    page->SetDevice(m_device.get());
    page->show();
    return WaitIdle(page);
}

bool LiveDevice::WaitIdle(CFormTemplateView* page, int timeoutMs) {
    QCoreApplication::processEvents();
    return QTest::qWaitFor([page] { return !page->IsBusy(); }, timeoutMs);
}

}  // namespace nms::test
