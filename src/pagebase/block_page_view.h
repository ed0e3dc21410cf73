// The base of the parameter-block pages: a page that reads its device's block with Get and writes it with
// Set, over a logic object (IBlockLogic). The glue every such page shares lives here once: the buttons,
// a Get when the page is shown, the device's replies, the end of the reply wait, a refused send and the
// status poll. A page adds its layout, its logic, how it shows the block and its own rules.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pagebase/block_logic.h"
#include "pagebase/form_template_view.h"

class QBoxLayout;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;

namespace nms {

class FormBinder;

class CBlockPageView : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CBlockPageView(QWidget* parent = nullptr);

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    // The buttons: the logic's request for the selection, and the form collected into the block (the
    // field a refusal stopped at gets the focus).
    virtual void OnGet();
    virtual void OnSet();

    // Made by AddGetSetRow and AddChannelRow; null on pages without them.
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;
    QLabel* m_channelLabel = nullptr;
    QComboBox* m_channel = nullptr;

protected:
    // The page's logic and form; null while the page has none (before its first binding).
    virtual IBlockLogic* PageLogic() = 0;
    virtual FormBinder* PageForm() = 0;
    // Shows the logic's block in the controls (a reply, a refresh).
    virtual void ShowBlock() = 0;
    // The selector entry requests are for: the channel row's entry, none without one.
    virtual std::optional<int> Selection() const;
    // Whether the buttons ask the logic for a request: when the device is online. Pages that ask any bound
    // device (an offline one refuses the request) widen this.
    virtual bool MayGet() const { return DeviceOnline(); }
    virtual bool MaySet() const { return MayGet(); }
    // Whether a poll tick asks for the status: not while a request of the page is under way, so the poll
    // never takes its send slot.
    virtual bool MayPoll() const { return DeviceOnline() && !IsBusy(); }

    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep& step) override;

    // A switch of the form's own tabs that the logic refused (a field of the form failed): its message,
    // then the focus on that field.
    void RefuseSwitch(const PageStep& refused);
    // "Get" and "Set", connected to OnGet and OnSet, for the page to place; or placed in a row under the
    // page's rows (returned for more buttons).
    void MakeGetSetButtons();
    QHBoxLayout* AddGetSetRow(QBoxLayout* page);
    // The selector row (caption, combo box); choosing an entry reads that entry's block.
    QHBoxLayout* AddChannelRow(QBoxLayout* page, const QString& caption);
    // Fills the selector (its first entry chosen) and shows it only when it has entries.
    void ShowChannels(const std::vector<std::string>& names);
    // The status poll: timer timerId asks for the logic's Poll every periodMs while the page is shown.
    // whileShown false: the page starts and stops the timer itself.
    void SetStatusPoll(int timerId, int periodMs, bool whileShown = true);

private:
    int m_pollTimerId = 0;
    int m_pollMs = 0;
    bool m_pollWhileShown = true;
};

}  // namespace nms
