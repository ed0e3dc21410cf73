// What the program pages of the four-channel CAM receiver and the four-channel decoder share: the channel
// tabs, the "Input Parameter" group of the channel in front (Get and Set on the block page base), the
// program list, and showing the page or a tab reading the input and then the rest of the channel.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/ird/cam4_channel_logic.h"

class QGroupBox;
class QHBoxLayout;
class QPushButton;
class QTabBar;
class QTreeWidget;

namespace nms {

class CCam4ChannelView : public CBlockPageView {
    Q_OBJECT
public:
    ~CCam4ChannelView() override;

    FormBinder& InputBinder() { return *m_input; }
    QTabBar* m_tabs = nullptr;
    QTreeWidget* m_programs = nullptr;
    QPushButton* m_parse = nullptr;  // "Parse", made and laid out by the page

protected:
    // inputKeys: the input fields the page lays out, in order. The input form is made here, its fields
    // unused until a record shows them.
    CCam4ChannelView(std::vector<std::string> inputKeys, QWidget* parent);

    virtual CamChannelLogic& ChannelLogic() = 0;
    // The program list from the logic (a refresh of its programs).
    virtual void FillProgramList() = 0;

    IBlockLogic* PageLogic() override { return &ChannelLogic(); }
    // The input record of the channel in front.
    FormBinder* PageForm() override { return m_input.get(); }
    std::optional<int> Selection() const override;
    // Showing reads the input and then the rest of the channel, as one chain.
    void OnShowWindow(bool shown) override;
    // The input and the program list; the page's own bits are its to show.
    void OnRefresh(unsigned what, bool refreshed) override;

    // The channel tabs; choosing one reads that channel as showing the page does.
    void MakeTabs();
    // The "Input Parameter" group with the input rows; AddInputButtons puts a row of buttons under them.
    QGroupBox* MakeInputGroup();
    void AddInputButtons(QGroupBox* group, QHBoxLayout* buttons);
    // Of the input rows, those of the form; the page then shows its record.
    void ShowInputRows(CamInputForm form);
    // The list with its columns; AddProgramRow lists one program under its number from 1 ("($)" before the
    // name when the program carries CA).
    void MakeProgramList();
    void AddProgramRow(int number, const QString& name, const CamProgramEntry& entry);

    std::unique_ptr<FormBinder> m_input;

private:
    std::vector<std::string> m_inputKeys;
};

}  // namespace nms
