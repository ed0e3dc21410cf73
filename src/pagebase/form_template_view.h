// The base of every device page (every tab the main frame shows for a device): the bound device, the
// receiver of that device's replies, the reply wait with its time-out on timer 4, and the progress of the
// configuration operations.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "devices/reply_receiver.h"
#include "devices/reply_view.h"
#include "pagebase/page_step.h"
#include "platform/window_timers.h"

namespace nms {

struct DeviceRecord;
class IOutputProgramSource;

// Reply waits of the pages.
constexpr int kWaitTimerId = 4;
constexpr int kWaitMs = 20000;
constexpr int kLongWaitMs = 80000;
constexpr int kShortWaitMs = 15000;
constexpr int kConfigOperationWaitMs = 30000;

class CFormTemplateView : public QWidget, public IReplyReceiver {
    Q_OBJECT
public:
    explicit CFormTemplateView(QWidget* parent = nullptr);
    // Ends a running wait (the device is freed) and unregisters from every bound device's link.
    ~CFormTemplateView() override;

    // Binds the device: creates its link when missing, makes this page its reply window, remembers it
    // among the bound devices (once), then runs OnInitialUpdate again. Overrides call this one.
    virtual void SetDevice(DeviceRecord* device);
    // Forgets the bound device (the link keeps this page until another page takes it or this one dies).
    virtual void ClearDevice();

    DeviceRecord* Device() const { return m_device; }
    const std::vector<DeviceRecord*>& BoundDevices() const { return m_boundDevices; }

    // The page variant number from the catalogue, set by the main frame before binding.
    int PageParam() const { return m_pageParam; }
    void SetPageParam(int pageParam) { m_pageParam = pageParam; }
    // The first page of the set shown for the current device (set by the main frame).
    CFormTemplateView* FirstPage() const { return m_firstPage; }
    void SetFirstPage(CFormTemplateView* page) { m_firstPage = page; }
    // The programs that the input channel page routes to its outputs (read by the PSI/SI editor through
    // the first page); null for every other page.
    virtual const IOutputProgramSource* OutputProgramSource() const { return nullptr; }

    // Reply waits: the device is marked busy (no heartbeats), timer timerId runs (80 s long, 20 s
    // ordinary, 15 s short), the wait cursor shows and operator input to the main window is swallowed.
    // A begin while waiting only restarts the timer; an end while idle only refreshes the controls.
    void BeginWait(int timerId, bool longWait = false);
    void BeginShortWait(int timerId);
    void EndWait(int timerId);
    bool IsBusy() const { return m_busy; }

    // Carries out a step of the page's logic, in this order: a kEnd or restart wait ends (the controls
    // are refreshed), the step's refresh bits go to OnRefresh, its messages are shown one by one, its
    // request is queued and the wait begins as the step says. A request the link refuses (no device,
    // offline) ends a running wait and goes to OnStepRefused. Returns the send result, or 0 when the
    // step had no request.
    int Carry(const PageStep& step);
    // True when a device is bound and online: actions and polls send nothing otherwise.
    bool DeviceOnline() const;

    // Form exchange: false shows members in the controls; true collects the controls into the members,
    // field by field, stopping with that field's message at the first that fails (returns false).
    bool UpdateData(bool collect = true);

    // Window timers by id; expiries arrive in OnTimer.
    void SetTimer(int id, int milliseconds) { m_timers.SetTimer(id, milliseconds); }
    void KillTimer(int id) { m_timers.KillTimer(id); }
    WindowTimers& Timers() { return m_timers; }
    const WindowTimers& Timers() const { return m_timers; }

    // IReplyReceiver. Pages override OnDeviceReply; a page's OnTimer handles its own ids and passes the
    // others to this one (timer 4 is the wait's time-out).
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnConfigOperation(int started, int operation) override;
    void OnTimer(int id) override;

    // The page's initial update: pages set their captions and lists here. Runs again at every binding.
    virtual void OnInitialUpdate() {}

protected:
    // The page's form exchange (see UpdateData). The base has nothing to exchange.
    virtual bool DoDataExchange(bool collect) { return true; }
    // Refresh bits of a step; the base shows every member (kRefreshAll) unless the wait just ended
    // (that refreshed already). Pages handle their own bits and call this one.
    virtual void OnRefresh(unsigned what, bool refreshed);
    // A step's request could not be queued; the wait (if any) has ended. Page logic forgets what it
    // waited for here.
    virtual void OnStepRefused(const PageStep& step) {}

    // The page was shown (after the base made it the receiver of the device's replies) or hidden by the
    // program; spontaneous show events (a restored main window) do not come here.
    virtual void OnShowWindow(bool shown) {}

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

    DeviceRecord* m_device = nullptr;
    int m_pageParam = 0;
    CFormTemplateView* m_firstPage = nullptr;
    bool m_busy = false;

private:
    void StartWaitState(int timerId, int milliseconds);
    void StopWaitState(int timerId);

    std::vector<DeviceRecord*> m_boundDevices;
    struct BoundRef;
    std::vector<std::unique_ptr<BoundRef>> m_boundRefs;  // lets the destructor skip freed records
    WindowTimers m_timers;
};

}  // namespace nms
