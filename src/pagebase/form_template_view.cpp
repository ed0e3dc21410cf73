#include "pagebase/form_template_view.h"

#include <QShowEvent>
#include <algorithm>

#include "devices/device_events.h"
#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "devices/reply_routing.h"
#include "platform/prompt.h"
#include "platform/wait_state.h"

namespace nms {

// A bound device as the page remembers it: records owned by the device list are tracked weakly, so the
// destructor never touches a record that was freed in the meantime.
struct CFormTemplateView::BoundRef {
    DeviceRecord* device;
    std::weak_ptr<DeviceRecord> weak;
    bool shared;

    std::shared_ptr<DeviceRecord> Lock(bool* alive) const {
        std::shared_ptr<DeviceRecord> held = weak.lock();
        *alive = shared ? held != nullptr : true;
        return held;
    }
};

CFormTemplateView::CFormTemplateView(QWidget* parent)
    : QWidget(parent), m_timers([this](int id) { OnTimer(id); }) {}

CFormTemplateView::~CFormTemplateView() {
    m_timers.KillAll();
    const bool waiting = m_busy;
    if (m_busy) {
        EndWaitState(this);
        m_busy = false;
    }
    for (const auto& ref : m_boundRefs) {
        bool alive = false;
        std::shared_ptr<DeviceRecord> held = ref->Lock(&alive);
        if (!alive)
            continue;
        // A page that dies while it waits frees its device.
        if (waiting && ref->device == m_device)
            ref->device->busy.store(0);
        UnregisterReceiver(ref->device, this);
    }
}

void CFormTemplateView::SetDevice(DeviceRecord* device) {
    m_device = device;
    if (device) {
        SetReplyWindow(device, this);
        if (std::find(m_boundDevices.begin(), m_boundDevices.end(), device) == m_boundDevices.end()) {
            m_boundDevices.push_back(device);
            std::weak_ptr<DeviceRecord> weak = device->weak_from_this();
            const bool shared = !weak.expired();
            m_boundRefs.push_back(std::make_unique<BoundRef>(BoundRef{device, std::move(weak), shared}));
        }
    }
    OnInitialUpdate();
}

void CFormTemplateView::ClearDevice() {
    m_device = nullptr;
}

void CFormTemplateView::StartWaitState(int timerId, int milliseconds) {
    // A begin while waiting restarts the time-out for the newest request and changes nothing else.
    m_timers.SetTimer(timerId, milliseconds);
    if (m_device)
        m_device->busy.store(1);
    if (!m_busy) {
        BeginWaitState(this);
        m_busy = true;
    }
}

void CFormTemplateView::StopWaitState(int timerId) {
    m_timers.KillTimer(timerId);
    if (m_busy) {
        EndWaitState(this);
        m_busy = false;
    }
    if (m_device)
        m_device->busy.store(0);
}

void CFormTemplateView::BeginWait(int timerId, bool longWait) {
    StartWaitState(timerId, longWait ? kLongWaitMs : kWaitMs);
}

void CFormTemplateView::BeginShortWait(int timerId) {
    StartWaitState(timerId, kShortWaitMs);
}

void CFormTemplateView::EndWait(int timerId) {
    StopWaitState(timerId);
    UpdateData(false);
}

bool CFormTemplateView::UpdateData(bool collect) {
    return DoDataExchange(collect);
}

bool CFormTemplateView::DeviceOnline() const {
    return m_device && IsDeviceOnline(m_device) > 0;
}

void CFormTemplateView::OnRefresh(unsigned what, bool refreshed) {
    if ((what & PageStep::kRefreshAll) && !refreshed)
        UpdateData(false);
}

int CFormTemplateView::Carry(const PageStep& step) {
    using Wait = PageStep::Wait;
    const bool ends = step.wait == Wait::kEnd || step.wait == Wait::kRestart ||
                      step.wait == Wait::kRestartLong || step.wait == Wait::kRestartShort;
    if (ends)
        EndWait(kWaitTimerId);
    if (step.refresh != PageStep::kRefreshNone)
        OnRefresh(step.refresh, ends);
    // A box is shown only after the wait ended, so the operator is never locked behind it.
    for (const std::string& text : step.messages)
        ShowMessageBox(text, step.caption);
    int rc = 0;
    if (step.HasRequest()) {
        const auto* data = step.payload.empty() ? nullptr : step.payload.data();
        if (step.poll) {
            // A poll that gives way is not a failure: nothing waits for it.
            SendPollCommand(static_cast<uint8_t>(step.command), m_device, data,
                            static_cast<int>(step.payload.size()));
            return 0;
        }
        rc = SendCommandEx(static_cast<uint8_t>(step.command), step.b, step.c, m_device, data,
                           static_cast<int>(step.payload.size()), step.checkOnline ? 1 : 0);
        if (rc != kSendQueued) {
            if (m_busy)
                EndWait(kWaitTimerId);
            OnStepRefused(step);
        } else {
            switch (step.wait) {
                case Wait::kBegin:
                case Wait::kRestart:
                    BeginWait(kWaitTimerId, false);
                    break;
                case Wait::kBeginLong:
                case Wait::kRestartLong:
                    BeginWait(kWaitTimerId, true);
                    break;
                case Wait::kBeginShort:
                case Wait::kRestartShort:
                    BeginShortWait(kWaitTimerId);
                    break;
                default:
                    break;
            }
        }
    }
    if (step.sendVersion)
        SendCommand(kVersionCommand, 1, 1, m_device, nullptr, 0);
    return rc;
}

void CFormTemplateView::OnDeviceReply(DeviceRecord*, const ReplyView&) {}

void CFormTemplateView::OnTimer(int id) {
    if (id != kWaitTimerId)
        return;
    StopWaitState(kWaitTimerId);
    PostDeviceEvent(m_device, "Operation timeout");
}

void CFormTemplateView::OnConfigOperation(int started, int operation) {
    static const char* const kStartTexts[] = {"Save config ...", "Reload config form flash ...",
                                              "Restore to factory default ..."};
    static const char* const kFinishTexts[] = {"Save config succeed!", "Reload config succeed!",
                                               "Restore to factory succeed!"};
    const bool known = operation >= 1 && operation <= 3;
    if (started) {
        StartWaitState(kWaitTimerId, kConfigOperationWaitMs);
        if (known)
            PostDeviceEvent(m_device, kStartTexts[operation - 1]);
    } else {
        StopWaitState(kWaitTimerId);
        if (known)
            PostDeviceEvent(m_device, kFinishTexts[operation - 1]);
    }
}

void CFormTemplateView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    // Among the pages of a device, the one shown last receives its replies.
    if (m_device)
        SetReplyWindow(m_device, this);
    OnShowWindow(true);
}

void CFormTemplateView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    OnShowWindow(false);
}

}  // namespace nms
