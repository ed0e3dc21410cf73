#include "pages/scrambler/qam4_sas_view.h"

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

#include "devices/device_record.h"
#include "pagebase/late_reply.h"
#include "pages/scrambler/ac_table_dlg.h"
#include "pages/scrambler/check_tree_ctrl.h"
#include "pages/scrambler/scrambler_records.h"
#include "platform/codepage.h"
#include "platform/ip_address_edit.h"
#include "platform/prompt.h"
#include "platform/resource_icons.h"

namespace nms {
namespace {

constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kLinkDown = 212;
constexpr int kLinkUp = 213;

QLineEdit* Edit(QWidget* parent, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(maxLength);
    return edit;
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QTreeWidgetItem* Node(QTreeWidgetItem* parent, const QString& text, int kind, int data) {
    auto* item = new QTreeWidgetItem(parent, {text});
    item->setData(0, kKindRole, kind);
    item->setData(0, Qt::UserRole, data);
    return item;
}

}  // namespace

Cqam4_sas::Cqam4_sas(QWidget* parent) : CFormTemplateView(parent) {
    m_runAcTable = [](CAcTableDlg& d) { return d.exec() == QDialog::Accepted; };
    m_tree = new CCheckTreeCtrl(this);
    m_tree->setMinimumWidth(320);
    m_tabs = new QTabBar(this);
    for (int k = 1; k <= 4; ++k)
        m_tabs->addTab(QString("CAS %1").arg(k));
    m_slotBox = new QGroupBox("CAS: 1", this);
    m_enable = new QCheckBox("Enable Channel", m_slotBox);
    m_superCasId = Edit(m_slotBox, 8);
    m_ecmId = Edit(m_slotBox, 5);
    m_ecmgAddress = new CIPAddressCtrl(m_slotBox);
    m_ecmgPort = Edit(m_slotBox, 5);
    m_emmPid = Edit(m_slotBox, 4);
    m_emmgTcpPort = Edit(m_slotBox, 5);
    m_emmgUdpPort = Edit(m_slotBox, 5);
    m_emmgMode = new QComboBox(m_slotBox);
    m_emmgMode->addItems({"TCP", "UDP"});
    auto* slot = new QGridLayout(m_slotBox);
    slot->addWidget(m_enable, 0, 0, 1, 2);
    const struct {
        const char* label;
        QWidget* field;
    } rows[] = {
        {"Supper CAS ID(0X):", m_superCasId}, {"ECM ID:", m_ecmId},      {"ECMG IP:", m_ecmgAddress},
        {"ECMG Port:", m_ecmgPort},           {"EMM PID:0x", m_emmPid},  {"EMMG TCP Port:", m_emmgTcpPort},
        {"EMMG UDP Port:", m_emmgUdpPort},    {"EMMG Mode:", m_emmgMode}};
    int row = 1;
    for (const auto& r : rows) {
        slot->addWidget(new QLabel(r.label, m_slotBox), row, 0);
        slot->addWidget(r.field, row++, 1);
    }

    auto* basic = new QGroupBox(this);
    auto* grid = new QGridLayout(basic);
    m_encryptPeriod = Edit(basic, 5);
    m_modeLabel = new QLabel("Mode:", basic);
    m_mode = new QComboBox(basic);
    m_mode->addItems({"Remap", "Pass", "Unmap", "bbeenn"});
    m_programName = Edit(basic, 32);
    m_programNumber = Edit(basic, 5);
    m_acIndex = new QComboBox(basic);
    m_ecmPidLabel = new QLabel("ECM PID:0x", basic);
    m_ecmPid = Edit(basic, 4);
    m_groupLabel = new QLabel("Output Channel Infor.:", basic);
    m_group = new QComboBox(basic);
    m_setProgram = new QPushButton("Set", basic);
    auto* period = new QHBoxLayout;
    period->addWidget(m_encryptPeriod);
    period->addWidget(new QLabel("Seconds", basic));
    grid->addWidget(new QLabel("Encrypt Period:", basic), 0, 0);
    grid->addLayout(period, 0, 1);
    grid->addWidget(m_modeLabel, 1, 0);
    grid->addWidget(m_mode, 1, 1);
    grid->addWidget(new QLabel("Program Name:", basic), 2, 0);
    grid->addWidget(m_programName, 2, 1);
    grid->addWidget(new QLabel("Program NO.:", basic), 3, 0);
    grid->addWidget(m_programNumber, 3, 1);
    grid->addWidget(new QLabel("AC Index", basic), 4, 0);
    grid->addWidget(m_acIndex, 4, 1);
    grid->addWidget(m_ecmPidLabel, 5, 0);
    grid->addWidget(m_ecmPid, 5, 1);
    grid->addWidget(m_groupLabel, 6, 0);
    grid->addWidget(m_group, 6, 1);
    grid->addWidget(m_setProgram, 7, 1);

    auto* status = new QGroupBox("CAS Connect Status", this);
    auto* lamps = new QGridLayout(status);
    for (int k = 0; k < 4; ++k) {
        m_links[size_t(k)] = new QLabel(status);
        m_links[size_t(k + 4)] = new QLabel(status);
        lamps->addWidget(new QLabel(QString("ECMG%1").arg(k + 1), status), k, 0);
        lamps->addWidget(m_links[size_t(k)], k, 1);
        lamps->addWidget(new QLabel(QString("EMMG%1").arg(k + 1), status), k, 2);
        lamps->addWidget(m_links[size_t(k + 4)], k, 3);
    }
    for (QLabel* lamp : m_links) {
        lamp->setFixedSize(16, 16);
        lamp->setPixmap(PixmapById(kLinkDown));
        lamp->setProperty("linkUp", false);
    }

    m_get = new QPushButton("Get", this);
    m_set = new QPushButton("Set", this);
    m_acTable = new QPushButton("AC Table", this);
    m_parse = new QPushButton("Parse", this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_acTable, m_parse, m_get, m_set})
        buttons->addWidget(b);
    buttons->addStretch();
    // The settings take the right column; the link lamps and the buttons sit under the tree, so that
    // the page keeps to the height of the main window's page area.
    lamps->setColumnStretch(4, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(m_tabs);
    right->addWidget(m_slotBox);
    right->addWidget(basic);
    right->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(m_tree, 1);
    left->addWidget(status);
    left->addLayout(buttons);
    auto* page = new QHBoxLayout(this);
    page->addLayout(left, 1);
    page->addLayout(right);

    connect(m_get, &QPushButton::clicked, this, &Cqam4_sas::OnGet);
    connect(m_set, &QPushButton::clicked, this, &Cqam4_sas::OnSet);
    connect(m_parse, &QPushButton::clicked, this, &Cqam4_sas::OnParse);
    connect(m_acTable, &QPushButton::clicked, this, &Cqam4_sas::OnAcTable);
    connect(m_setProgram, &QPushButton::clicked, this, &Cqam4_sas::OnSetProgram);
    connect(m_acIndex, &QComboBox::activated, this, &Cqam4_sas::OnSelChangeAcIndex);
    connect(m_group, &QComboBox::activated, this, &Cqam4_sas::OnSelChangeGroup);
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && !IsBusy())
            OnSelChangeTab(index);
    });
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { OnClickTree(item); });
    connect(m_tree, &CCheckTreeCtrl::CheckImageClicked, this, &Cqam4_sas::OnCheckImageClicked);
}

void Cqam4_sas::SetDevice(DeviceRecord* device) {
    CFormTemplateView::SetDevice(device);
    m_logic = Qam4SasLogic(m_pageParam);
    m_selRoot = m_selProgram = -1;
    LayOut();
}

void Cqam4_sas::LayOut() {
    const Qam4SasVariant& v = m_logic.Variant();
    const bool outputs = m_logic.Is(Qam4SasVariant::kOutputs);
    m_parse->setVisible(v.parseButton);
    m_setProgram->setVisible(v.parseButton);
    m_mode->setVisible(v.modeCombo);
    m_modeLabel->setVisible(v.modeCombo);
    m_ecmPid->setVisible(!outputs && !m_logic.Is(Qam4SasVariant::kAcIndexes));
    m_ecmPidLabel->setVisible(m_ecmPid->isVisibleTo(this));
    m_group->setVisible(outputs);
    m_groupLabel->setVisible(outputs);
    m_tree->SetImageCount(3);
    FillGroups();
    BuildRoots();
    DoDataExchange(false);
}

void Cqam4_sas::FillGroups() {
    const int previous = m_group->currentIndex();
    m_group->clear();
    for (int k = 0; k < m_logic.ModuleCount(); ++k)
        m_group->addItem(QString::asprintf("%02d-%02d", 4 * k + 1, 4 * k + 4));
    m_group->setCurrentIndex(previous >= 0 && previous < 5 && previous < m_group->count() ? previous : 0);
    m_logic.SetOutputGroup(m_group->currentIndex());
}

void Cqam4_sas::OnShowWindow(bool shown) {
    if (!shown || !m_device)
        return;
    if (!DeviceOnline() || IsBusy())
        return;
    const PageStep step = m_logic.Show(m_device->typeCode);
    if (m_logic.LaidOut() && !Timers().IsActive(kSasStatusTimerId))
        SetTimer(kSasStatusTimerId, kSasStatusMs);
    Carry(step);
}

void Cqam4_sas::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic.WaitEnded();
    if (id == kSasStatusTimerId) {
        if (DeviceOnline() && !IsBusy() && !m_device->busy.load() && m_logic.LaidOut())
            Carry(m_logic.Poll());
        return;
    }
    CFormTemplateView::OnTimer(id);
}

void Cqam4_sas::OnGet() {
    if (!DeviceOnline()) {
        if (m_logic.Is(Qam4SasVariant::kOutputs))
            BuildTree();
        return;
    }
    Carry(m_logic.Get());
}

void Cqam4_sas::OnSet() {
    if (!DeviceOnline())
        return;
    Carry(m_logic.Set(CollectForm()));
}

void Cqam4_sas::OnParse() {
    if (!DeviceOnline())
        return;
    QTreeWidgetItem* item = m_tree->currentItem();
    const int channel =
        item && item->data(0, kKindRole).toInt() == kRootNode ? item->data(0, Qt::UserRole).toInt() : -1;
    if (channel >= 0)
        qDeleteAll(item->takeChildren());
    Carry(m_logic.Parse(channel));
}

void Cqam4_sas::OnAcTable() {
    if (m_logic.Running())
        return;
    const int tab = m_logic.Tab();
    CAcTableDlg dialog(this);
    dialog.m_image = &m_logic.AcImage(tab);
    dialog.m_table = tab;
    if (!m_runAcTable(dialog))
        return;
    FillAcIndexList();
    DoDataExchange(false);
    if (DeviceOnline())
        Carry(m_logic.WriteAcTable());
}

void Cqam4_sas::OnSetProgram() {
    if (m_selRoot < 0 || m_selProgram < 0)
        return;
    std::string name;
    if (!Utf8ToGbk(m_programName->text().toStdString(), &name)) {
        ShowMessageBox("Program name should not be more than 32 characters.");
        return;
    }
    const std::string error = m_logic.SetProgramFields(
        m_selRoot, m_selProgram, name, m_programNumber->text().toStdString(),
        std::min(m_acIndex->currentIndex(), m_acIndex->count() - 1), m_ecmPid->text().toStdString());
    if (!error.empty())
        ShowMessageBox(error);
    BuildTree();
}

void Cqam4_sas::OnSelChangeTab(int index) {
    const std::string error = m_logic.ChangeTab(index, CollectForm());
    if (!error.empty())
        ShowMessageBox(error);
    m_tabs->setCurrentIndex(m_logic.Tab());
    m_slotBox->setTitle(QString::asprintf("%s: %d", "CAS", m_logic.Tab() + 1));
    FillAcIndexList();
    DoDataExchange(false);
}

void Cqam4_sas::OnSelChangeAcIndex() {
    if (m_selProgram >= 0)
        m_logic.SetAcIndex(m_selRoot, m_selProgram, m_acIndex->currentIndex());
}

void Cqam4_sas::OnSelChangeGroup() {
    m_logic.SetOutputGroup(m_group->currentIndex());
    OnGet();
}

QTreeWidgetItem* Cqam4_sas::ProgramItemOf(QTreeWidgetItem* item) const {
    while (item && item->data(0, kKindRole).toInt() != kProgramNode)
        item = item->parent();
    return item;
}

void Cqam4_sas::Locate(QTreeWidgetItem* item, int* root, int* program, int* stream) const {
    *root = *program = *stream = -1;
    if (item && item->data(0, kKindRole).toInt() == kPidNode)
        item = item->parent();
    if (item && item->data(0, kKindRole).toInt() == kStreamNode)
        *stream = item->data(0, Qt::UserRole).toInt();
    QTreeWidgetItem* p = ProgramItemOf(item);
    if (p) {
        *program = p->data(0, Qt::UserRole).toInt();
        item = p->parent();
    }
    if (item && item->data(0, kKindRole).toInt() == kRootNode)
        *root = item->data(0, Qt::UserRole).toInt();
}

void Cqam4_sas::OnClickTree(QTreeWidgetItem* item) {
    int root, program, stream;
    Locate(item, &root, &program, &stream);
    if (program < 0)
        return;
    // Variant 0 first keeps what the fields show for the program shown before.
    if (m_logic.Is(Qam4SasVariant::kEntries) && m_selProgram >= 0 &&
        (root != m_selRoot || program != m_selProgram)) {
        const std::string error = m_logic.SetEcmPid(m_selRoot, m_selProgram, m_ecmPid->text().toStdString());
        if (!error.empty())
            ShowMessageBox(error);
        if (m_acIndex->currentIndex() >= 0)
            m_logic.SetAcIndex(m_selRoot, m_selProgram, m_acIndex->currentIndex());
    }
    ShowProgramFields(root, program);
}

void Cqam4_sas::ShowProgramFields(int root, int program) {
    m_selRoot = root;
    m_selProgram = program;
    const SasProgramView v = m_logic.Describe(root, program);
    m_programName->setText(Q(GbkToUtf8(v.name)));
    m_programNumber->setText(QString::number(v.serviceId));
    const int index = m_logic.AcIndexOf(root, program);
    if (m_acIndex->count())
        m_acIndex->setCurrentIndex(std::min(index, m_acIndex->count() - 1));
    m_ecmPid->setText(QString::asprintf("%x", unsigned(m_logic.EcmPidOf(root, program))));
}

void Cqam4_sas::OnCheckImageClicked(QTreeWidgetItem* item, int) {
    int root, program, stream;
    Locate(item, &root, &program, &stream);
    if (program < 0)
        return;
    if (stream >= 0)
        m_logic.ClickStream(root, program, stream);
    else
        m_logic.ClickProgram(root, program);
    if (m_logic.Is(Qam4SasVariant::kOutputs) || m_logic.Is(Qam4SasVariant::kRecords)) {
        // A record shows under several outputs or channels: every one of its items follows.
        for (int r = 0; r < m_tree->topLevelItemCount(); ++r)
            for (int k = 0; k < m_tree->topLevelItem(r)->childCount(); ++k)
                if (m_tree->topLevelItem(r)->child(k)->data(0, Qt::UserRole).toInt() == program)
                    SyncChecks(m_tree->topLevelItem(r)->child(k));
        return;
    }
    SyncChecks(ProgramItemOf(item));
}

void Cqam4_sas::SyncChecks(QTreeWidgetItem* programItem) {
    int root, program, stream;
    Locate(programItem, &root, &program, &stream);
    if (program < 0)
        return;
    m_tree->SetCheck(programItem, unsigned(m_logic.ProgramValue(root, program)));
    for (int k = 0; k < programItem->childCount(); ++k) {
        QTreeWidgetItem* child = programItem->child(k);
        if (child->data(0, kKindRole).toInt() == kStreamNode)
            m_tree->SetCheck(
                child, unsigned(m_logic.StreamValue(root, program, child->data(0, Qt::UserRole).toInt())));
    }
}

void Cqam4_sas::BuildRoots() {
    m_tree->clear();
    const Qam4SasVariant& v = m_logic.Variant();
    for (int r = 0; r < m_logic.RootCount(); ++r) {
        QString text;
        if (m_logic.Is(Qam4SasVariant::kOutputs)) {
            const int output = m_logic.OutputGroup() * 4 + r + 1;
            text = m_logic.HasRead() ? QString::asprintf("%s %d", "Output Channel", output)
                                     : QString::asprintf("QAM-%d", output);
        } else {
            text = v.singleRoot ? QString(v.rootName) : QString("Channel %1").arg(QChar('A' + r));
        }
        auto* root = new QTreeWidgetItem(m_tree, {text});
        root->setData(0, kKindRole, kRootNode);
        root->setData(0, Qt::UserRole, r);
    }
}

void Cqam4_sas::BuildTree() {
    BuildRoots();
    const bool outputs = m_logic.Is(Qam4SasVariant::kOutputs);
    const bool acIndexes = m_logic.Is(Qam4SasVariant::kAcIndexes);
    for (int r = 0; r < m_tree->topLevelItemCount(); ++r) {
        QTreeWidgetItem* rootItem = m_tree->topLevelItem(r);
        int number = 0;
        for (int program : m_logic.ProgramsOf(r)) {
            ++number;
            if (acIndexes) {
                Node(rootItem, QString::asprintf("Program-%02d", program + 1), kProgramNode, program);
                continue;
            }
            const SasProgramView v = m_logic.Describe(r, program);
            const QString name = v.name.empty() ? QString("No Name") : Q(GbkToUtf8(v.name));
            QTreeWidgetItem* item;
            if (outputs) {
                item = Node(rootItem,
                            QString::asprintf("%d:", number) + name +
                                QString::asprintf(" %s(%d)", "Service ID", int(v.serviceId)),
                            kProgramNode, program);
            } else {
                item = Node(rootItem, name, kProgramNode, program);
                Node(item, QString::asprintf("%s%d", "Service ID:", int(v.serviceId)), kInfoNode, 0);
            }
            Node(item, QString::asprintf("PMT PID:0x%x", unsigned(v.pmtPid)), kInfoNode, 0);
            Node(item, QString::asprintf("PCR PID:0x%x", unsigned(v.pcrPid)), kInfoNode, 0);
            for (size_t i = 0; i < v.streamTypes.size(); ++i) {
                const QString label =
                    Q(ScramblerStreamLabel(v.streamTypes[i], StreamLabelSet::kSasModulator));
                if (outputs) {
                    Node(item, label + QString::asprintf(":0x%x", unsigned(v.pids[i])), kStreamNode, int(i));
                } else {
                    QTreeWidgetItem* s = Node(item, label, kStreamNode, int(i));
                    Node(s, QString::asprintf("PID:0x%x", unsigned(v.pids[i])), kPidNode, int(v.pids[i]));
                }
            }
            SyncChecks(item);
        }
        rootItem->setExpanded(true);
    }
}

void Cqam4_sas::FillAcIndexList() {
    m_acIndex->clear();
    for (const std::string& name : m_logic.AcNames())
        m_acIndex->addItem(Q(GbkToUtf8(name)));
    m_acIndex->setCurrentIndex(m_acIndex->count() ? 0 : -1);
    if (m_selProgram >= 0 && m_acIndex->count())
        m_acIndex->setCurrentIndex(
            std::min(m_logic.AcIndexOf(m_selRoot, m_selProgram), m_acIndex->count() - 1));
}

SasCasForm Cqam4_sas::CollectForm() const {
    SasCasForm f;
    f.enabled = m_enable->isChecked();
    m_ecmgAddress->GetAddress(f.ecmgAddress[0], f.ecmgAddress[1], f.ecmgAddress[2], f.ecmgAddress[3]);
    f.ecmId = m_ecmId->text().toStdString();
    f.ecmgPort = m_ecmgPort->text().toStdString();
    f.emmgTcpPort = m_emmgTcpPort->text().toStdString();
    f.emmgUdpPort = m_emmgUdpPort->text().toStdString();
    f.encryptPeriod = m_encryptPeriod->text().toStdString();
    f.emmPid = m_emmPid->text().toStdString();
    f.superCasId = m_superCasId->text().toStdString();
    f.emmgMode = m_emmgMode->currentIndex();
    f.mode = m_mode->currentIndex();
    return f;
}

bool Cqam4_sas::DoDataExchange(bool collect) {
    if (collect)
        return true;
    const SasCasForm f = m_logic.Form();
    m_enable->setChecked(f.enabled);
    m_ecmgAddress->SetAddress(f.ecmgAddress[0], f.ecmgAddress[1], f.ecmgAddress[2], f.ecmgAddress[3]);
    m_ecmId->setText(Q(f.ecmId));
    m_ecmgPort->setText(Q(f.ecmgPort));
    m_emmgTcpPort->setText(Q(f.emmgTcpPort));
    m_emmgUdpPort->setText(Q(f.emmgUdpPort));
    m_encryptPeriod->setText(Q(f.encryptPeriod));
    m_emmPid->setText(Q(f.emmPid));
    m_superCasId->setText(Q(f.superCasId));
    m_emmgMode->setCurrentIndex(f.emmgMode);
    m_mode->setCurrentIndex(f.mode < m_mode->count() ? f.mode : -1);
    if (m_selProgram >= 0)
        ShowProgramFields(m_selRoot, m_selProgram);
    return true;
}

void Cqam4_sas::OnRefresh(unsigned what, bool refreshed) {
    if (what & Qam4SasLogic::kRefreshLayout) {
        LayOut();
        if (!Timers().IsActive(kSasStatusTimerId))
            SetTimer(kSasStatusTimerId, kSasStatusMs);
    }
    if (what & Qam4SasLogic::kRefreshTree) {
        m_selRoot = m_selProgram = -1;
        FillGroups();
        FillAcIndexList();
        BuildTree();
    }
    if (what & Qam4SasLogic::kRefreshStatus) {
        for (int bit = 0; bit < 8; ++bit) {
            const bool up = m_logic.Links() >> bit & 1;
            m_links[size_t(bit)]->setPixmap(PixmapById(up ? kLinkUp : kLinkDown));
            m_links[size_t(bit)]->setProperty("linkUp", up);
        }
    }
    CFormTemplateView::OnRefresh(what & PageStep::kRefreshAll, refreshed);
}

void Cqam4_sas::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!device || device != m_device || !reply.IsValid())
        return;
    // A reply after its wait ran out is still shown, but starts nothing (late_reply.h); the chain does not
    // reach the end where the page shows what it read, so the page shows it now.
    Carry(ReplyStep(m_logic, reply, IsBusy(), PageStep::kRefreshAll | Qam4SasLogic::kRefreshTree));
}

}  // namespace nms
