#include "pages/ird/cam_mux_view.h"

#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "devices/device_record.h"
#include "pages/ird/cam_ird_view.h"
#include "pages/mux/edit_program_dlg.h"
#include "platform/codepage.h"

namespace nms {
namespace {

QString Hex4(unsigned v) {
    return QString::asprintf("%04X", v);
}

QGroupBox* Framed(const char* title, QWidget* list, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    list->setParent(box);
    (new QVBoxLayout(box))->addWidget(list);
    return box;
}

}  // namespace

Ccam_ird_mux::Ccam_ird_mux(QWidget* parent) : CFormTemplateView(parent) {
    m_config = std::make_unique<FormBinder>(CamOutputConfigTable(), this);
    m_runEdit = [](CEditProgramDlg& dialog) { return dialog.DoModal() == 1; };

    m_tabs = new QTabBar(this);
    m_tabs->addTab("RF");
    m_tabs->addTab("ASI");
    m_parse = new QPushButton("Parse", this);
    m_refresh = new QPushButton("Refresh", this);
    m_operate = new QComboBox(this);
    m_operate->addItems({"Bypass", "CI-1", "CI-2", "Delete"});
    m_setConfig = new QPushButton("Set", this);
    m_setEcm = new QPushButton("Set ECM", this);
    auto* top = new QHBoxLayout;
    top->addWidget(m_tabs);
    top->addWidget(m_parse);
    top->addWidget(m_refresh);
    top->addSpacing(20);
    top->addWidget(new QLabel("Operate:", this));
    top->addWidget(m_operate);
    top->addWidget(m_setEcm);
    top->addStretch();

    m_programs = MakeReportList(
        this, {"NO.", "Program Name", "SID(0X)", "PMT PID(0X)", "PCR PID(0X)", "CA", "Status"});
    m_elements = MakeReportList(this, {"NO.", "Type(0X)", "PID(0X)", "CAS ID(0X)", "ECM(0X)"});
    m_elementEcm = MakeReportList(this, {"NO.", "CAS ID(0X)", "ECM(0X)"});
    m_programEcm = MakeReportList(this, {"NO.", "CAS ID(0X)", "ECM(0X)"});
    m_cat = MakeReportList(this, {"NO.", "CAS ID(0X)", "EMMG(0X)"});
    auto* lists = new QGridLayout;
    lists->addWidget(Framed("Element Information", m_elements, this), 0, 0);
    lists->addWidget(Framed("ECM", m_elementEcm, this), 0, 1);
    lists->addWidget(Framed("CA (PMT) Information", m_programEcm, this), 0, 2);
    lists->addWidget(Framed("CAT Information", m_cat, this), 0, 3);

    auto* basic = new QGroupBox("Basic Parameters", this);
    auto* grid = new QGridLayout(basic);
    for (const FieldDef& f : CamOutputConfigTable()) {
        m_config->Control(f.key)->setParent(basic);
        m_config->Label(f.key)->setParent(basic);
    }
    m_config->AddRows(grid, {"bitrate", "tsId", "netId", "ipInsert"});
    m_cas1 = new QLabel("CI-1 CAS ID:0X0000", basic);
    m_cas2 = new QLabel("CI-2 CAS ID:0X0000", basic);
    grid->addWidget(m_cas1, 0, 2);
    grid->addWidget(m_cas2, 1, 2);
    const char* passTexts[kCamMuxPassBoxes] = {"PASS ECM", "PASS EMM", "PASS EIT", "PASS TDT", "123"};
    auto* boxes = new QHBoxLayout;
    for (int b = 0; b < kCamMuxPassBoxes; ++b) {
        m_pass[size_t(b)] = new QCheckBox(passTexts[b], basic);
        boxes->addWidget(m_pass[size_t(b)]);
    }
    boxes->addStretch();
    boxes->addWidget(m_setConfig);
    grid->addLayout(boxes, 4, 0, 1, 3);

    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addWidget(m_programs, 2);
    page->addLayout(lists, 1);
    page->addWidget(basic);

    connect(m_parse, &QPushButton::clicked, this, &Ccam_ird_mux::OnParse);
    connect(m_refresh, &QPushButton::clicked, this, qOverload<>(&Ccam_ird_mux::OnRefresh));
    connect(m_setConfig, &QPushButton::clicked, this, &Ccam_ird_mux::OnSetConfig);
    connect(m_setEcm, &QPushButton::clicked, this, &Ccam_ird_mux::OnSetEcm);
    connect(m_operate, &QComboBox::activated, this, &Ccam_ird_mux::OnSelChangeOperate);
    connect(m_programs, &QTreeWidget::itemClicked, this, &Ccam_ird_mux::OnClickProgramList);
    connect(m_programs, &QTreeWidget::itemDoubleClicked, this, &Ccam_ird_mux::OnDblClickProgramList);
    connect(m_elements, &QTreeWidget::itemClicked, this, &Ccam_ird_mux::OnClickElementList);
    connect(m_elementEcm, &QTreeWidget::itemDoubleClicked, this, &Ccam_ird_mux::OnDblClickElementEcmList);
    connect(m_programEcm, &QTreeWidget::itemDoubleClicked, this, &Ccam_ird_mux::OnDblClickProgramEcmList);
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && DeviceOnline() && !IsBusy()) {
            m_tabs->setCurrentIndex(index);
            OnRefresh();
        }
    });
}

Ccam_ird_mux::~Ccam_ird_mux() = default;

void Ccam_ird_mux::ClearLists() {
    for (QTreeWidget* list : {m_programs, m_elements, m_elementEcm, m_programEcm, m_cat})
        list->clear();
}

int Ccam_ird_mux::SelectedRow(QTreeWidget* list) const {
    const auto items = list->selectedItems();
    return items.isEmpty() ? -1 : list->indexOfTopLevelItem(items.front());
}

void Ccam_ird_mux::OnParse() {
    if (!DeviceOnline())
        return;
    ClearLists();
    m_logic.SetVersion(m_device->version.load());
    Carry(m_logic.Parse(m_tabs->currentIndex()));
}

void Ccam_ird_mux::OnRefresh() {
    ClearLists();
    if (!DeviceOnline())
        return;
    m_logic.SetVersion(m_device->version.load());
    Carry(m_logic.Refresh(m_tabs->currentIndex()));
}

void Ccam_ird_mux::OnSetConfig() {
    if (!DeviceOnline())
        return;
    std::array<bool, kCamMuxPassBoxes> passed{};
    for (int b = 0; b < kCamMuxPassBoxes; ++b)
        passed[size_t(b)] = m_pass[size_t(b)]->isChecked();
    m_logic.SetVersion(m_device->version.load());
    const PageStep step = m_logic.WriteConfig(m_tabs->currentIndex(), m_config->Inputs(), passed);
    m_config->Focus(m_logic.FailedField());
    Carry(step);
}

void Ccam_ird_mux::OnSetEcm() {
    if (DeviceOnline())
        Carry(m_logic.WriteEcm(SelectedRow(m_programs)));
}

void Ccam_ird_mux::OnSelChangeOperate() {
    const int row = SelectedRow(m_programs);
    if (row < 0)
        return;
    m_logic.SetOperation(row, uint8_t(m_operate->currentIndex()));
    m_programs->topLevelItem(row)->setText(6, CamOperationText(uint8_t(m_operate->currentIndex())));
}

void Ccam_ird_mux::FillEcmList(QTreeWidget* list, int input, int first, int count, uint32_t mask,
                               const std::function<uint16_t(int)>& pid) {
    list->clear();
    for (int i = 0; i < count; ++i) {
        const QString number = (mask >> i & 1) ? QString("$%1").arg(i + 1) : QString::number(i + 1);
        list->addTopLevelItem(
            new QTreeWidgetItem({number, Hex4(m_logic.CaSystemId(input, first + i)), Hex4(pid(i))}));
    }
}

void Ccam_ird_mux::OnClickProgramList() {
    const int row = SelectedRow(m_programs);
    if (row < 0)
        return;
    const int input = m_logic.Input();
    const CamMuxProgram& p = m_logic.Program(input, row);
    const QString status = m_programs->topLevelItem(row)->text(6);
    m_operate->setCurrentIndex(status == "CI-1" ? 1 : status == "CI-2" ? 2 : status == "Delete" ? 3 : 0);
    m_elements->clear();
    for (int s = 0; s < p.StreamCount(); ++s) {
        QStringList ids, pids;
        for (int j = 0; j < p.StreamEcmCount(s); ++j) {
            ids << Hex4(m_logic.CaSystemId(input, p.StreamFirstIndex(s) + j));
            pids << Hex4(p.StreamEcmPid(s, j));
        }
        m_elements->addTopLevelItem(new QTreeWidgetItem(
            {QString::number(s + 1), QString::fromStdString(CamMuxStreamLabel(p.StreamType(s))),
             QString::asprintf("%02X", p.StreamPid(s)), ids.join("/"), pids.join("/")}));
    }
    m_elementEcm->clear();
    FillEcmList(m_programEcm, input, p.FirstIndex(), p.EcmCount(), p.Mask(),
                [&p](int i) { return p.EcmPid(i); });
}

void Ccam_ird_mux::OnClickElementList() {
    const int row = SelectedRow(m_programs);
    const int stream = SelectedRow(m_elements);
    if (row < 0 || stream < 0)
        return;
    const CamMuxProgram& p = m_logic.Program(m_logic.Input(), row);
    FillEcmList(m_elementEcm, m_logic.Input(), p.StreamFirstIndex(stream), p.StreamEcmCount(stream),
                p.StreamMask(stream), [&p, stream](int j) { return p.StreamEcmPid(stream, j); });
}

void Ccam_ird_mux::OnDblClickElementEcmList() {
    const int row = SelectedRow(m_programs);
    const int stream = SelectedRow(m_elements);
    const int entry = SelectedRow(m_elementEcm);
    if (row < 0 || stream < 0 || entry < 0)
        return;
    m_logic.ToggleEcm(row, stream, entry);
    OnClickElementList();
    m_elementEcm->setCurrentItem(m_elementEcm->topLevelItem(entry));
}

void Ccam_ird_mux::OnDblClickProgramEcmList() {
    const int row = SelectedRow(m_programs);
    const int entry = SelectedRow(m_programEcm);
    if (row < 0 || entry < 0)
        return;
    m_logic.ToggleEcm(row, -1, entry);
    const CamMuxProgram& p = m_logic.Program(m_logic.Input(), row);
    FillEcmList(m_programEcm, m_logic.Input(), p.FirstIndex(), p.EcmCount(), p.Mask(),
                [&p](int i) { return p.EcmPid(i); });
    m_programEcm->setCurrentItem(m_programEcm->topLevelItem(entry));
}

void Ccam_ird_mux::OnDblClickProgramList() {
    const int row = SelectedRow(m_programs);
    if (row < 0 || !DeviceOnline())
        return;
    CEditProgramDlg dialog(this);
    dialog.m_fields = m_logic.EditFields(row);
    if (!m_runEdit(dialog))
        return;
    Carry(m_logic.ApplyEdit(row, dialog.m_fields));
}

void Ccam_ird_mux::OnShowWindow(bool shown) {
    if (shown && DeviceOnline() && !IsBusy())
        OnRefresh();
}

void Ccam_ird_mux::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic.WaitEnded();
    CFormTemplateView::OnTimer(id);
}

void Ccam_ird_mux::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device && device == m_device && reply.IsValid())
        Carry(m_logic.HandleReply(reply));
}

void Ccam_ird_mux::OnRefresh(unsigned what, bool refreshed) {
    if (what & CamMuxLogic::kRefreshPrograms) {
        FillProgramList();
        FillCatList();
    }
    CFormTemplateView::OnRefresh(what & PageStep::kRefreshAll, refreshed);
}

void Ccam_ird_mux::FillCatList() {
    m_cat->clear();
    const int input = m_logic.Input();
    const CamMuxCat& cat = m_logic.Cat(input);
    for (int i = 0; i < cat.emmCount; ++i)
        m_cat->addTopLevelItem(
            new QTreeWidgetItem({QString::number(i + 1), Hex4(m_logic.CaSystemId(input, cat.firstIndex + i)),
                                 Hex4(cat.emmPids[size_t(i)])}));
}

void Ccam_ird_mux::FillProgramList() {
    m_programs->clear();
    const int input = m_logic.Input();
    for (int i = 0; i < m_logic.Count(input); ++i) {
        const CamMuxProgram& p = m_logic.Program(input, i);
        QString name = QString::fromStdString(GbkToUtf8(p.OutputName()));
        if (p.HasEcm())
            name = "($)" + name;
        auto* item = new QTreeWidgetItem({QString::number(i + 1), name, Hex4(p.ServiceId()), Hex4(p.PmtPid()),
                                          Hex4(p.PcrPid()), QString::number(p.EcmCount()),
                                          CamOperationText(p.Operation())});
        if (p.Red()) {
            item->setData(0, Qt::UserRole, 0xFF00);
            for (int c = 0; c < item->columnCount(); ++c)
                item->setForeground(c, QBrush(Qt::red));
        }
        m_programs->addTopLevelItem(item);
    }
    const ParamBlock& config = m_logic.Config();
    m_config->Show(config);
    const ByteReader r = config.Reader();
    m_cas1->setText(QString::asprintf("CI-1 CAS ID:0X%04X", r.U16LEOr(10)));
    m_cas2->setText(QString::asprintf("CI-2 CAS ID:0X%04X", r.U16LEOr(12)));
    for (int b = 0; b < kCamMuxPassBoxes; ++b)
        m_pass[size_t(b)]->setChecked(!(config.Bytes()[kCamMuxPassFlags] >> b & 1));
}

}  // namespace nms
