#include "pages/scrambler/scrambler_page_base.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "devices/device_events.h"
#include "pagebase/lamp.h"
#include "pages/scrambler/ac_list_dlg.h"
#include "pages/scrambler/check_tree_ctrl.h"
#include "platform/codepage.h"
#include "platform/ip_address_edit.h"
#include "platform/prompt.h"

namespace nms {
namespace {

constexpr int kKindRole = Qt::UserRole + 1;

QLineEdit* Edit(QWidget* parent, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(maxLength);
    return edit;
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

CScramblerPageBase::CScramblerPageBase(ScramblerLogic& logic, QWidget* parent)
    : CFormTemplateView(parent), m_logic(logic) {
    m_runAcList = [](CAcListDlg& dialog) { return dialog.exec() == QDialog::Accepted; };

    m_tree = new CCheckTreeCtrl(this);
    m_tree->setMinimumWidth(320);

    m_tabs = new QTabBar(this);
    for (int k = 1; k <= kCasSlots; ++k)
        m_tabs->addTab(QString("CAS %1").arg(k));
    m_slotBox = new QGroupBox("CAS 1", this);
    m_enable = new QCheckBox("Enable Channel", m_slotBox);
    m_ecmgAddress = new CIPAddressCtrl(m_slotBox);
    m_ecmgPort = Edit(m_slotBox, 5);
    m_ecmChannelId = Edit(m_slotBox, 5);
    m_emmgTcpPort = Edit(m_slotBox, 5);
    m_emmgUdpPort = Edit(m_slotBox, 5);
    m_emmgMode = new QComboBox(m_slotBox);
    m_emmgMode->addItems({"TCP", "UDP"});
    m_emmPid = Edit(m_slotBox, 4);
    m_superCasId = Edit(m_slotBox, 8);
    auto* slotGrid = new QGridLayout(m_slotBox);
    int row = 0;
    slotGrid->addWidget(m_enable, row++, 0, 1, 2);
    const struct {
        const char* label;
        QWidget* field;
    } slotRows[] = {{"ECMG IP:", m_ecmgAddress},        {"ECMG Port:", m_ecmgPort},
                    {"ECM Channel ID", m_ecmChannelId}, {"Supper CAS ID(0X):", m_superCasId},
                    {"EMMG Mode", m_emmgMode},          {"EMMG TCP Port", m_emmgTcpPort},
                    {"EMMG UDP Port", m_emmgUdpPort},   {"EMM PID:0x", m_emmPid}};
    for (const auto& r : slotRows) {
        slotGrid->addWidget(new QLabel(r.label, m_slotBox), row, 0);
        slotGrid->addWidget(r.field, row++, 1);
    }

    auto* basic = new QGroupBox("Basic Info", this);
    m_extraGrid = new QGridLayout(basic);
    m_programName = Edit(basic, 64);
    m_programName->setReadOnly(true);
    m_acIndex = new QComboBox(basic);
    m_ecmPid = Edit(basic, 4);
    m_encryptPeriod = Edit(basic, 5);
    m_extraGrid->addWidget(new QLabel("Program Name:", basic), 0, 0);
    m_extraGrid->addWidget(m_programName, 0, 1);
    m_extraGrid->addWidget(new QLabel("AC Index", basic), 1, 0);
    m_extraGrid->addWidget(m_acIndex, 1, 1);
    m_extraGrid->addWidget(new QLabel("ECM PID:0x", basic), 2, 0);
    m_extraGrid->addWidget(m_ecmPid, 2, 1);
    m_extraGrid->addWidget(new QLabel("Encrypt Period:", basic), 3, 0);
    auto* period = new QHBoxLayout;
    period->setSpacing(6);  // the grid's rows are tighter than its columns: its spacing is not inherited
    period->addWidget(m_encryptPeriod);
    period->addWidget(new QLabel("Seconds", basic));
    m_extraGrid->addLayout(period, 3, 1);

    auto* lamps = new QGroupBox("CAS Connect Status", this);
    auto* lampGrid = new QGridLayout(lamps);
    for (int k = 0; k < 4; ++k) {
        m_linkLamps[size_t(k)] = MakeLamp(lamps);
        m_linkLamps[size_t(k + 4)] = MakeLamp(lamps);
        lampGrid->addWidget(new QLabel(QString("ECMG%1").arg(k + 1), lamps), k, 0);
        lampGrid->addWidget(m_linkLamps[size_t(k)], k, 1);
        lampGrid->addWidget(new QLabel(QString("EMMG%1").arg(k + 1), lamps), k, 2);
        lampGrid->addWidget(m_linkLamps[size_t(k + 4)], k, 3);
    }

    m_parse = new QPushButton("Parse", this);
    m_refresh = new QPushButton("Refresh", this);
    m_set = new QPushButton("Set", this);
    m_acTable = new QPushButton("AC Table", this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_acTable, m_parse, m_refresh, m_set})
        buttons->addWidget(b);
    buttons->addStretch();

    // The settings take the right column; the link lamps and the buttons sit under the tree, so that
    // the page keeps to the height of the main window's page area.
    // Tighter rows than the default: the slot's and the page's fields must fit the page area together.
    slotGrid->setVerticalSpacing(3);
    m_extraGrid->setVerticalSpacing(3);
    lampGrid->setColumnStretch(4, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(m_tabs);
    right->addWidget(m_slotBox);
    right->addWidget(basic);
    right->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(m_tree, 1);
    left->addWidget(lamps);
    left->addLayout(buttons);
    m_sideColumn = left;
    auto* page = new QHBoxLayout(this);
    page->addLayout(left, 1);
    page->addLayout(right);

    connect(m_parse, &QPushButton::clicked, this, [this] { OnParse(); });
    connect(m_refresh, &QPushButton::clicked, this, [this] { OnRefresh(); });
    connect(m_set, &QPushButton::clicked, this, [this] { OnSet(); });
    connect(m_acTable, &QPushButton::clicked, this, &CScramblerPageBase::OnAcTable);
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && !IsBusy())
            OnSelChangeCasTab(index);
    });
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { OnClickTree(item); });
    connect(m_tree, &CCheckTreeCtrl::CheckImageClicked, this, &CScramblerPageBase::OnCheckImageClicked);
    connect(m_ecmPid, &QLineEdit::textEdited, this, &CScramblerPageBase::OnChangeEcmPid);
    m_root = new QTreeWidgetItem(m_tree, {"Program"});
    m_root->setData(0, kKindRole, kRootNode);
}

CScramblerPageBase::~CScramblerPageBase() = default;

void CScramblerPageBase::CarryStep(const PageStep& step) {
    Carry(step);
    for (const std::string& text : m_logic.TakeEvents())
        PostDeviceEvent(m_device, text);
}

void CScramblerPageBase::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!device || device != m_device || !reply.IsValid())
        return;
    // A reply after its wait ran out is still shown, but starts nothing (late_reply.h); the chain does not
    // reach the end where the page shows what it read, so the page shows it now.
    CarryStep(ReplyStep(m_logic, reply, IsBusy(),
                        PageStep::kRefreshAll | ScramblerLogic::kRefreshTree |
                            ScramblerLogic::kRefreshAcList | ScramblerLogic::kRefreshTs));
}

void CScramblerPageBase::ResetPage() {
    m_logic.Reset();
    EmptyTree();
    m_tabs->setCurrentIndex(0);
    m_slotBox->setTitle("CAS 1");
    m_acIndex->clear();
    m_programName->clear();
    for (QLabel* lamp : m_linkLamps)
        SetLamp(lamp, false);
    DoDataExchange(false);
}

void CScramblerPageBase::EmptyTree() {
    m_tree->clear();
    m_root = new QTreeWidgetItem(m_tree, {"Program"});
    m_root->setData(0, kKindRole, kRootNode);
    m_logic.ResetSelection();
}

ScramblerSlotForm CScramblerPageBase::CollectForm() const {
    ScramblerSlotForm f;
    f.enabled = m_enable->isChecked();
    m_ecmgAddress->GetAddress(f.ecmgAddress[0], f.ecmgAddress[1], f.ecmgAddress[2], f.ecmgAddress[3]);
    f.ecmgPort = m_ecmgPort->text().toStdString();
    f.ecmChannelId = m_ecmChannelId->text().toStdString();
    f.emmgTcpPort = m_emmgTcpPort->text().toStdString();
    f.emmgUdpPort = m_emmgUdpPort->text().toStdString();
    f.superCasId = m_superCasId->text().toStdString();
    f.emmPid = m_emmPid->text().toStdString();
    f.ecmPid = m_ecmPid->text().toStdString();
    f.emmgMode = m_emmgMode->currentIndex();
    f.acIndex = m_acIndex->currentIndex();
    f.encryptPeriod = m_encryptPeriod->text().toStdString();
    CollectExtraFields(&f);
    return f;
}

bool CScramblerPageBase::DoDataExchange(bool collect) {
    if (collect)
        return true;
    const ScramblerSlotForm f = m_logic.SlotForm();
    m_enable->setChecked(f.enabled);
    m_ecmgAddress->SetAddress(f.ecmgAddress[0], f.ecmgAddress[1], f.ecmgAddress[2], f.ecmgAddress[3]);
    m_ecmgPort->setText(Q(f.ecmgPort));
    m_ecmChannelId->setText(Q(f.ecmChannelId));
    m_emmgTcpPort->setText(Q(f.emmgTcpPort));
    m_emmgUdpPort->setText(Q(f.emmgUdpPort));
    m_superCasId->setText(Q(f.superCasId));
    m_emmPid->setText(Q(f.emmPid));
    m_emmgMode->setCurrentIndex(f.emmgMode);
    m_encryptPeriod->setText(Q(f.encryptPeriod));
    if (SelectedProgramNode() || m_logic.SelectedProgram()) {
        m_ecmPid->setText(Q(f.ecmPid));
        if (f.acIndex < m_acIndex->count())
            m_acIndex->setCurrentIndex(f.acIndex);
    }
    ShowExtraFields(f);
    return true;
}

void CScramblerPageBase::OnRefresh(unsigned what, bool refreshed) {
    if (what & ScramblerLogic::kRefreshAcList)
        FillAcIndexList();
    if (what & ScramblerLogic::kRefreshTree)
        ShowSlot();
    if (what & ScramblerLogic::kRefreshStatus)
        ShowStatus();
    CFormTemplateView::OnRefresh(what & PageStep::kRefreshAll, refreshed);
}

void CScramblerPageBase::FillAcIndexList() {
    m_acIndex->clear();
    for (const std::string& name : m_logic.AcNames())
        m_acIndex->addItem(Q(GbkToUtf8(name)));
    const int program = SelectedProgramNode();
    if (program) {
        const int index = CasSlotAcIndex(m_logic.Settings().Slot(m_logic.Slot()), program);
        if (index < m_acIndex->count())
            m_acIndex->setCurrentIndex(index);
    }
}

void CScramblerPageBase::ShowSlot() {
    EmptyTree();
    m_programName->clear();
    for (int p = 1; p <= m_logic.TreeCount(); ++p)
        AddProgramNode(p);
    m_root->setExpanded(true);
    if (QTreeWidgetItem* first = ProgramNode(1)) {
        m_tree->setCurrentItem(first);
        m_programName->setText(first->text(0));
    }
    DoDataExchange(false);
}

void CScramblerPageBase::AddProgramNode(int program) {
    const ScramblerProgramInfo info = m_logic.Describe(program);
    const QString name = info.name.empty() ? QString("No Name") : Q(GbkToUtf8(info.name));
    auto* node = new QTreeWidgetItem(m_root, {name});
    node->setData(0, Qt::UserRole, program);
    node->setData(0, kKindRole, kProgramNode);
    const QString infos[] = {QString::asprintf("%s%d", "Service ID:", int(info.serviceId)),
                             QString::asprintf("PMT PID:0x%x", unsigned(info.pmtPid)),
                             QString::asprintf("PCR PID:0x%x", unsigned(info.pcrPid))};
    for (const QString& text : infos) {
        auto* child = new QTreeWidgetItem(node, {text});
        child->setData(0, kKindRole, kInfoNode);
    }
    for (size_t e = 0; e < info.streamTypes.size(); ++e) {
        auto* element = new QTreeWidgetItem(node, {Q(m_logic.StreamLabel(info.streamTypes[e]))});
        element->setData(0, Qt::UserRole, int(e));
        element->setData(0, kKindRole, kElementNode);
        auto* pid = new QTreeWidgetItem(element, {QString::asprintf("PID:0x%x", unsigned(info.pids[e]))});
        pid->setData(0, Qt::UserRole, int(info.pids[e]));
        pid->setData(0, kKindRole, kPidNode);
    }
    SyncMarks(program);
}

QTreeWidgetItem* CScramblerPageBase::ProgramNode(int program) const {
    if (!m_root)
        return nullptr;
    for (int i = 0; i < m_root->childCount(); ++i)
        if (m_root->child(i)->data(0, Qt::UserRole).toInt() == program)
            return m_root->child(i);
    return nullptr;
}

QTreeWidgetItem* CScramblerPageBase::ElementNode(int program, int element) const {
    QTreeWidgetItem* node = ProgramNode(program);
    if (!node)
        return nullptr;
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        if (child->data(0, kKindRole).toInt() == kElementNode &&
            child->data(0, Qt::UserRole).toInt() == element)
            return child;
    }
    return nullptr;
}

void CScramblerPageBase::SyncMarks(int program) {
    QTreeWidgetItem* node = ProgramNode(program);
    if (!node)
        return;
    m_tree->SetCheck(node, unsigned(m_logic.ProgramMarkOf(program)));
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        if (child->data(0, kKindRole).toInt() == kElementNode)
            m_tree->SetCheck(child,
                             unsigned(m_logic.ElementMark(program, child->data(0, Qt::UserRole).toInt())));
    }
}

int CScramblerPageBase::SelectedProgramNode() const {
    QTreeWidgetItem* item = m_tree->currentItem();
    if (!item || item->data(0, kKindRole).toInt() != kProgramNode)
        return 0;
    return item->data(0, Qt::UserRole).toInt();
}

void CScramblerPageBase::OnCheckImageClicked(QTreeWidgetItem* item, int) {
    const int kind = item->data(0, kKindRole).toInt();
    if (kind == kProgramNode) {
        const int program = item->data(0, Qt::UserRole).toInt();
        m_logic.ClickProgram(program);
        SyncMarks(program);
    } else if (kind == kElementNode && item->parent()) {
        const int program = item->parent()->data(0, Qt::UserRole).toInt();
        m_logic.ClickElement(program, item->data(0, Qt::UserRole).toInt());
        SyncMarks(program);
    }
}

void CScramblerPageBase::OnClickTree(QTreeWidgetItem* item) {
    if (!item || item->data(0, kKindRole).toInt() != kProgramNode)
        return;
    const int program = item->data(0, Qt::UserRole).toInt();
    const std::string error =
        m_logic.SelectProgram(program, m_ecmPid->text().toStdString(), m_acIndex->currentIndex());
    if (!error.empty()) {
        ShowMessageBox(error);
        return;
    }
    m_programName->setText(item->text(0));
    const uint8_t* slot = m_logic.Settings().Slot(m_logic.Slot());
    const int index = CasSlotAcIndex(slot, program);
    if (index < m_acIndex->count())
        m_acIndex->setCurrentIndex(index);
    m_ecmPid->setText(QString::asprintf("%x", unsigned(CasSlotEcmPid(slot, program))));
}

void CScramblerPageBase::OnChangeEcmPid() {
    if (SelectedProgramNode())
        m_logic.EcmPidEdited(m_ecmPid->text().toStdString());
}

void CScramblerPageBase::OnSelChangeCasTab(int index) {
    const std::string error = m_logic.ChangeSlot(index, CollectForm(), SelectedProgramNode());
    if (!error.empty())
        ShowMessageBox(error);
    m_tabs->setCurrentIndex(index);
    m_slotBox->setTitle(QString::asprintf("%s: %d", "CAS", index + 1));
    if (m_logic.Progress() & ScramblerLogic::kAcRead)
        FillAcIndexList();
    if (m_logic.Progress() & ScramblerLogic::kCasRead)
        ShowSlot();
}

void CScramblerPageBase::OnAcTable() {
    const int slot = m_logic.Slot();
    CAcListDlg dialog(slot, m_logic.AcImage(slot), m_logic.AcEcm(slot), this);
    if (!m_runAcList(dialog))
        return;
    m_logic.SetAcTable(slot, dialog.Image(), dialog.Ecm());
    FillAcIndexList();
}

void CScramblerPageBase::ShowStatus() {
    const ScramblerStatus& s = m_logic.Status();
    for (int bit = 0; bit < 8; ++bit)
        SetLamp(m_linkLamps[size_t(bit)], s.links >> bit & 1);
    if (m_root && s.hasRate)
        m_root->setText(
            0, QString::asprintf("%s: %d .%03dMbps", "Program", int(s.kbps / 1000), int(s.kbps % 1000)));
}

}  // namespace nms
