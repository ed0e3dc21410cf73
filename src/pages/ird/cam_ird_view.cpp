#include "pages/ird/cam_ird_view.h"

#include <QBrush>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/codepage.h"

namespace nms {
namespace {

QString Hex4(unsigned v) {
    return QString::asprintf("%04X", v);
}

QString Joined(const std::vector<CaEntry>& entries, bool pids) {
    QStringList parts;
    for (const CaEntry& e : entries)
        parts << Hex4(pids ? e.pid : e.caSystemId);
    return parts.join("/");
}

}  // namespace

QTreeWidget* MakeReportList(QWidget* parent, const QStringList& columns) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHeaderLabels(columns);
    return list;
}

CCAMIRDView::CCAMIRDView(QWidget* parent) : CFormTemplateView(parent) {
    m_config = std::make_unique<FormBinder>(CamOutputConfigTable(), this);
    m_source = new QComboBox(this);
    m_source->addItems({"DVB-ASI", "DVB-S", "DVB-C", "TS IP", "DVB-T/T2"});
    m_operate = new QComboBox(this);
    m_operate->addItems({"Bypass", "CI-1", "CI-2", "Delete"});
    m_parse = new QPushButton("Parse", this);
    m_refresh = new QPushButton("Refresh", this);
    m_sendSelection = new QPushButton("Set", this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Source:", this));
    top->addWidget(m_source);
    top->addWidget(m_parse);
    top->addWidget(m_refresh);
    top->addSpacing(20);
    top->addWidget(new QLabel("Operate:", this));
    top->addWidget(m_operate);
    top->addWidget(m_sendSelection);
    top->addStretch();

    m_programs = MakeReportList(
        this, {"NO.", "Program Name", "SID(0X)", "PMT PID(0X)", "PCR PID(0X)", "Elem.", "CA", "Status"});
    auto* elementGroup = new QGroupBox("Element Information", this);
    m_elements = MakeReportList(elementGroup, {"NO.", "Type(0X)", "PID(0X)", "CAS ID(0X)", "ECMG(0X)"});
    (new QVBoxLayout(elementGroup))->addWidget(m_elements);
    auto* caGroup = new QGroupBox("CA (PMT) Information", this);
    m_ca = MakeReportList(caGroup, {"NO.", "CAS ID(0X)", "ECMG(0X)"});
    (new QVBoxLayout(caGroup))->addWidget(m_ca);
    auto* catGroup = new QGroupBox("CAT Information", this);
    m_cat = MakeReportList(catGroup, {"NO.", "CAS ID(0X)", "EMMG(0X)"});
    (new QVBoxLayout(catGroup))->addWidget(m_cat);

    m_serviceId = new QLineEdit(this);
    m_serviceId->setMaxLength(4);
    m_serviceId->setMaximumWidth(80);
    m_setServiceId = new QPushButton("Set", this);
    auto* sidRow = new QHBoxLayout;
    sidRow->addWidget(new QLabel("Service ID:", this));
    sidRow->addWidget(m_serviceId);
    sidRow->addWidget(m_setServiceId);
    sidRow->addStretch();

    auto* basic = new QGroupBox("Basic Parameters", this);
    auto* basicGrid = new QGridLayout(basic);
    for (const FieldDef& f : CamOutputConfigTable()) {
        m_config->Control(f.key)->setParent(basic);
        m_config->Label(f.key)->setParent(basic);
    }
    m_config->AddRows(basicGrid, {"bitrate", "tsId", "netId", "ipInsert"});

    auto* lists = new QGridLayout;
    lists->addWidget(elementGroup, 0, 0);
    lists->addWidget(caGroup, 0, 1);
    lists->addWidget(catGroup, 0, 2);
    auto* bottom = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addLayout(sidRow);
    left->addStretch();
    bottom->addLayout(left);
    bottom->addWidget(basic);
    bottom->addStretch();
    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addWidget(m_programs, 2);
    page->addLayout(lists, 1);
    page->addLayout(bottom);

    connect(m_parse, &QPushButton::clicked, this, &CCAMIRDView::OnParse);
    connect(m_refresh, &QPushButton::clicked, this, qOverload<>(&CCAMIRDView::OnRefresh));
    connect(m_sendSelection, &QPushButton::clicked, this, &CCAMIRDView::OnSendSelection);
    connect(m_setServiceId, &QPushButton::clicked, this, &CCAMIRDView::OnSetServiceId);
    connect(m_source, &QComboBox::activated, this, &CCAMIRDView::OnSelChangeSource);
    connect(m_operate, &QComboBox::activated, this, &CCAMIRDView::OnSelChangeOperate);
    connect(m_programs, &QTreeWidget::itemClicked, this, &CCAMIRDView::OnClickProgramList);
}

CCAMIRDView::~CCAMIRDView() = default;

void CCAMIRDView::ClearLists() {
    m_programs->clear();
    m_elements->clear();
    m_ca->clear();
    m_cat->clear();
}

void CCAMIRDView::OnParse() {
    if (!DeviceOnline())
        return;
    ClearLists();
    Carry(m_logic.Parse(m_source->currentIndex()));
}

void CCAMIRDView::OnRefresh() {
    ClearLists();
    if (DeviceOnline())
        Carry(m_logic.Refresh(m_source->currentIndex()));
}

void CCAMIRDView::OnSendSelection() {
    if (!DeviceOnline())
        return;
    const PageStep step = m_logic.SendSelection(m_config->Inputs());
    m_config->Focus(m_logic.FailedField());
    Carry(step);
}

void CCAMIRDView::OnSetServiceId() {
    Carry(m_logic.SetServiceId(SelectedRow(), m_serviceId->text().toStdString()));
}

void CCAMIRDView::OnSelChangeSource() {
    if (DeviceOnline())
        Carry(m_logic.SelectSource(m_source->currentIndex()));
}

int CCAMIRDView::SelectedRow() const {
    const auto items = m_programs->selectedItems();
    return items.isEmpty() ? -1 : m_programs->indexOfTopLevelItem(items.front());
}

void CCAMIRDView::OnSelChangeOperate() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    m_logic.SetOperation(row, uint8_t(m_operate->currentIndex()));
    m_programs->topLevelItem(row)->setText(7, CamOperationText(uint8_t(m_operate->currentIndex())));
}

void CCAMIRDView::OnClickProgramList() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    const CamIrdProgram& p = m_logic.Program(row);
    m_serviceId->setText(QString::asprintf("%X", p.ServiceId()));
    const QString status = m_programs->topLevelItem(row)->text(7);
    m_operate->setCurrentIndex(status == "CI-1" ? 1 : status == "CI-2" ? 2 : status == "Delete" ? 3 : 0);
    m_elements->clear();
    for (int s = 0; s < p.StreamCount(); ++s) {
        const std::vector<CaEntry> ca = p.StreamCa(s);
        m_elements->addTopLevelItem(new QTreeWidgetItem(
            {QString::number(s + 1), QString::fromStdString(CamIrdStreamLabel(p.StreamType(s))),
             QString::asprintf("%02X", p.StreamPid(s)), Joined(ca, false), Joined(ca, true)}));
    }
    m_ca->clear();
    int n = 1;
    for (const CaEntry& e : p.ProgramCa())
        m_ca->addTopLevelItem(new QTreeWidgetItem({QString::number(n++), Hex4(e.caSystemId), Hex4(e.pid)}));
}

void CCAMIRDView::OnShowWindow(bool shown) {
    if (shown && DeviceOnline() && !IsBusy())
        OnRefresh();
}

void CCAMIRDView::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic.WaitEnded();
    CFormTemplateView::OnTimer(id);
}

void CCAMIRDView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device && device == m_device && reply.IsValid())
        Carry(m_logic.HandleReply(reply));
}

void CCAMIRDView::OnRefresh(unsigned what, bool refreshed) {
    if (what & CamIrdProgramLogic::kRefreshCat)
        FillCatList();
    if (what & CamIrdProgramLogic::kRefreshPrograms)
        FillProgramList();
    if (what & CamIrdProgramLogic::kRefreshSource)
        m_source->setCurrentIndex(m_logic.Source());
    CFormTemplateView::OnRefresh(what & PageStep::kRefreshAll, refreshed);
}

void CCAMIRDView::FillCatList() {
    m_cat->clear();
    int n = 1;
    for (const CaEntry& e : m_logic.Cat())
        m_cat->addTopLevelItem(new QTreeWidgetItem({QString::number(n++), Hex4(e.caSystemId), Hex4(e.pid)}));
}

void CCAMIRDView::FillProgramList() {
    m_programs->clear();
    for (int i = 0; i < m_logic.Count(); ++i) {
        const CamIrdProgram& p = m_logic.Program(i);
        QString name = QString::fromStdString(GbkToUtf8(p.Name()));
        if (p.HasCa())
            name = "($)" + name;
        auto* item =
            new QTreeWidgetItem({QString::number(i + 1), name, Hex4(p.ServiceId()), Hex4(p.PmtPid()),
                                 Hex4(p.PcrPid()), QString::number(p.StreamCount()),
                                 QString::number(p.ProgramCa().size()), CamOperationText(p.Operation())});
        if (p.Red()) {
            item->setData(0, Qt::UserRole, 0xFF00);
            for (int c = 0; c < item->columnCount(); ++c)
                item->setForeground(c, QBrush(Qt::red));
        }
        m_programs->addTopLevelItem(item);
    }
    m_config->Show(m_logic.Config());
}

}  // namespace nms
