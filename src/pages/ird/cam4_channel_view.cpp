#include "pages/ird/cam4_channel_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabBar>
#include <QTreeWidget>
#include <algorithm>

namespace nms {
namespace {

QString Hex4(unsigned value) {
    return QString::asprintf("%04X", value);
}

}  // namespace

CCam4ChannelView::CCam4ChannelView(std::vector<std::string> inputKeys, QWidget* parent)
    : CBlockPageView(parent), m_inputKeys(std::move(inputKeys)) {
    m_input = std::make_unique<FormBinder>(CamIrdInputTable(), this);
    for (const FieldDef& f : CamIrdInputTable())
        m_input->SetUsed(f.key, false);
    m_input->Label("qam")->setText("Constellation:");
}

CCam4ChannelView::~CCam4ChannelView() = default;

void CCam4ChannelView::MakeTabs() {
    m_tabs = new QTabBar(this);
    for (int c = 1; c <= kCamChannels; ++c)
        m_tabs->addTab(QString("Channel %1").arg(c));
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && DeviceOnline())
            Carry(ChannelLogic().Shown(index));
    });
}

QGroupBox* CCam4ChannelView::MakeInputGroup() {
    auto* group = new QGroupBox("Input Parameter", this);
    auto* grid = new QGridLayout(group);
    for (const std::string& key : m_inputKeys) {
        m_input->Control(key)->setParent(group);
        m_input->Label(key)->setParent(group);
    }
    m_input->AddRows(grid, m_inputKeys);
    return group;
}

void CCam4ChannelView::AddInputButtons(QGroupBox* group, QHBoxLayout* buttons) {
    static_cast<QGridLayout*>(group->layout())->addLayout(buttons, int(m_inputKeys.size()), 0, 1, 2);
}

void CCam4ChannelView::ShowInputRows(CamInputForm form) {
    const std::vector<std::string> shown = CamFormKeys(form, false);
    for (const std::string& key : m_inputKeys)
        m_input->SetUsed(key, std::find(shown.begin(), shown.end(), key) != shown.end());
}

void CCam4ChannelView::MakeProgramList() {
    m_programs = new QTreeWidget(this);
    m_programs->setRootIsDecorated(false);
    m_programs->setHeaderLabels(
        {"NO.", "Program Name", "Program NO.:", "PMT PID(0X)", "Elem.", "CA", "Status"});
}

void CCam4ChannelView::AddProgramRow(int number, const QString& name, const CamProgramEntry& entry) {
    m_programs->addTopLevelItem(
        new QTreeWidgetItem({QString::number(number), entry.Ca() ? "($)" + name : name, Hex4(entry.Number()),
                             Hex4(entry.PmtPid()), QString::number(entry.Elements()),
                             QString::number(entry.Ca()), CamProgramStatusText(entry.Status())}));
}

std::optional<int> CCam4ChannelView::Selection() const {
    return m_tabs->currentIndex();
}

void CCam4ChannelView::OnShowWindow(bool shown) {
    if (shown && DeviceOnline())
        Carry(ChannelLogic().Shown(m_tabs->currentIndex()));
}

void CCam4ChannelView::OnRefresh(unsigned what, bool refreshed) {
    if (what & CamChannelLogic::kRefreshInput)
        ShowBlock();
    if (what & CamChannelLogic::kRefreshPrograms)
        FillProgramList();
    CFormTemplateView::OnRefresh(what & PageStep::kRefreshAll, refreshed);
}

}  // namespace nms
