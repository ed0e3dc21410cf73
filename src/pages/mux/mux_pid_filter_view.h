// "PID Filter": the PID filter table of the ASI multiplexers, modulators, scrambler and CI IRDs, shown as a
// list of PIDs that the operator edits and writes back whole. The exchanges live in MuxPidFilterLogic;
// this page wires them to the device, the wait and the widgets.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "pagebase/form_template_view.h"
#include "pages/mux/mux_pid_filter_logic.h"
#include "pages/mux/pid_table_buttons.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace nms {

// The typed filter PID and, on the two-output multiplexer, its output (0 "A", 1 "B").
struct FilterPidEntry {
    std::string text;
    int outputSelection = -1;
    bool outputChoice = false;  // the "Out ASI" combo is offered
};

class CMuxPidFilterView : public CFormTemplateView, public PidTableButtons {
    Q_OBJECT
public:
    // Asks the operator for one filter PID; true on OK with entry filled in.
    using PidAsker = std::function<bool(QWidget* parent, FilterPidEntry* entry)>;

    explicit CMuxPidFilterView(QWidget* parent = nullptr);
    ~CMuxPidFilterView() override;

    MuxPidFilterLogic* Logic() const { return m_logic.get(); }
    void SetPidAsker(PidAsker asker) { m_askPid = std::move(asker); }

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;

    void OnGet() override;
    void OnSet() override;
    void OnAddPid() override;
    void OnEdit() override;
    void OnDelete() override;
    void OnEmpty() override;

    QComboBox* ChannelCombo() const { return m_channel; }
    QTableWidget* List() const { return m_list; }

protected:
    void OnInitialUpdate() override;
    void OnShowWindow(bool shown) override;

private:
    void OnStepRefused(const PageStep& step) override;
    void CarryAndShow(const PageStep& step);
    void BuildColumns();
    void ShowRows();
    int SelectedRow() const;

    std::unique_ptr<MuxPidFilterLogic> m_logic;
    PidAsker m_askPid;
    QComboBox* m_channel;
    QTableWidget* m_list;
    QLabel* m_title;
};

}  // namespace nms
