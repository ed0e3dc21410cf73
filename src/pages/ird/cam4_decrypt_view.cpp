#include "pages/ird/cam4_decrypt_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {
namespace {

const std::vector<std::string> kInputKeys = {"freq",     "lnb",       "symbol", "polarization", "qam",
                                             "standard", "bandwidth", "tone",   "diseqc"};

}  // namespace

Ccam4ird_decrypt::Ccam4ird_decrypt(QWidget* parent) : CBlockPageView(parent) {
    m_input = std::make_unique<FormBinder>(CamIrdInputTable(), this);
    for (const FieldDef& f : CamIrdInputTable())
        m_input->SetUsed(f.key, false);
    m_input->Label("qam")->setText("Constellation:");
    m_input->Label("standard")->setText("Modulation Mode");
    m_runDialog = [](CIpIndexDlg& dialog) { return dialog.exec() == QDialog::Accepted; };

    m_tabs = new QTabBar(this);
    for (int c = 1; c <= kCamChannels; ++c)
        m_tabs->addTab(QString("Channel %1").arg(c));

    auto* inputGroup = new QGroupBox("Input Parameter", this);
    auto* inputGrid = new QGridLayout(inputGroup);
    for (const std::string& key : kInputKeys) {
        m_input->Control(key)->setParent(inputGroup);
        m_input->Label(key)->setParent(inputGroup);
    }
    m_input->AddRows(inputGrid, kInputKeys);
    m_eit = new QCheckBox("EIT", inputGroup);
    m_tdt = new QCheckBox("TDT", inputGroup);
    MakeGetSetButtons();
    auto* inputButtons = new QHBoxLayout;
    inputButtons->addWidget(m_eit);
    inputButtons->addWidget(m_tdt);
    inputButtons->addStretch();
    inputButtons->addWidget(m_get);
    inputButtons->addWidget(m_set);
    inputGrid->addLayout(inputButtons, int(kInputKeys.size()), 0, 1, 2);
    // The pass-through boxes are the table's own check fields, laid out here.
    for (const char* key : {"eit", "tdt"})
        m_input->Control(key)->hide();

    m_programs = new QTreeWidget(this);
    m_programs->setRootIsDecorated(false);
    m_programs->setHeaderLabels(
        {"NO.", "Program Name", "Program NO.:", "PMT PID(0X)", "Elem.", "CA", "Status"});
    m_camSet = new QComboBox(this);
    m_camSet->addItems({"Bypass", "CAM", "Delete"});
    m_index = new QCheckBox("Index", this);
    m_index->hide();
    m_parse = new QPushButton("Parse", this);
    m_read = new QPushButton("Read", this);
    m_send = new QPushButton("Send", this);
    auto* programButtons = new QHBoxLayout;
    programButtons->addWidget(new QLabel("CAM SET:", this));
    programButtons->addWidget(m_camSet);
    programButtons->addWidget(m_index);
    programButtons->addStretch();
    programButtons->addWidget(m_parse);
    programButtons->addWidget(m_read);
    programButtons->addWidget(m_send);

    auto* right = new QVBoxLayout;
    right->addWidget(m_programs, 1);
    right->addLayout(programButtons);
    auto* left = new QVBoxLayout;
    left->addWidget(inputGroup);
    left->addStretch();
    auto* row = new QHBoxLayout;
    row->addLayout(left);
    row->addLayout(right, 1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(m_tabs);
    page->addLayout(row, 1);

    connect(m_parse, &QPushButton::clicked, this, &Ccam4ird_decrypt::OnParse);
    connect(m_read, &QPushButton::clicked, this, &Ccam4ird_decrypt::OnRead);
    connect(m_send, &QPushButton::clicked, this, &Ccam4ird_decrypt::OnSend);
    connect(m_camSet, &QComboBox::activated, this, &Ccam4ird_decrypt::OnSelChangeCamSet);
    connect(m_programs, &QTreeWidget::itemClicked, this, &Ccam4ird_decrypt::OnClickProgramList);
    connect(m_programs, &QTreeWidget::itemDoubleClicked, this, &Ccam4ird_decrypt::OnDblClickProgramList);
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && DeviceOnline())
            Carry(m_logic.Shown(index));
    });
    ShowBlock();
}

Ccam4ird_decrypt::~Ccam4ird_decrypt() = default;

void Ccam4ird_decrypt::OnParse() {
    if (DeviceOnline())
        Carry(m_logic.Parse(m_tabs->currentIndex(), m_index->isChecked()));
}

void Ccam4ird_decrypt::OnRead() {
    if (DeviceOnline())
        Carry(m_logic.Read(m_tabs->currentIndex()));
}

void Ccam4ird_decrypt::OnSend() {
    if (DeviceOnline())
        Carry(m_logic.Send(m_tabs->currentIndex()));
}

void Ccam4ird_decrypt::OnSet() {
    // The boxes on the form stand for the record's pass-through bits.
    if (MaySet() && m_input->IsUsed("eit")) {
        qobject_cast<QCheckBox*>(m_input->Control("eit"))->setChecked(m_eit->isChecked());
        qobject_cast<QCheckBox*>(m_input->Control("tdt"))->setChecked(m_tdt->isChecked());
    }
    CBlockPageView::OnSet();
}

int Ccam4ird_decrypt::SelectedRow() const {
    const auto items = m_programs->selectedItems();
    return items.isEmpty() ? -1 : m_programs->indexOfTopLevelItem(items.front());
}

void Ccam4ird_decrypt::OnClickProgramList() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    const uint8_t status = m_logic.Program(m_logic.Channel(), row).Status();
    m_camSet->setCurrentIndex(status == kCam4Cam ? 1 : status == kCam4Delete ? 2 : 0);
}

void Ccam4ird_decrypt::OnSelChangeCamSet() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    m_logic.SetStatus(row, uint8_t(m_camSet->currentIndex()));
    m_programs->topLevelItem(row)->setText(6, Cam4StatusText(uint8_t(m_camSet->currentIndex())));
}

void Ccam4ird_decrypt::OnDblClickProgramList() {
    const int row = SelectedRow();
    if (row < 0 || !(m_logic.Feature() & 0x80))
        return;
    const Cam4Program& p = m_logic.Program(m_logic.Channel(), row);
    CIpIndexDlg::Inputs in;
    in.feature = m_logic.Feature();
    in.maxIndex = kCam4MaxIpIndex;
    in.streams = p.Elements();
    in.ipIndex = p.IpIndex();
    in.filterMask = p.FilterMask();
    in.pcrPid = p.PcrPid();
    in.stream1Pid = p.StreamPid(0);
    in.stream2Pid = p.StreamPid(1);
    CIpIndexDlg dialog(in, this);
    if (!m_runDialog(dialog))
        return;
    for (const std::string& warning : m_logic.SetIpIndex(row, dialog.IpIndex(), dialog.FilterMask()))
        ShowMessageBox(warning);
    FillProgramList();
}

void Ccam4ird_decrypt::OnShowWindow(bool shown) {
    if (shown && DeviceOnline())
        Carry(m_logic.Shown(m_tabs->currentIndex()));
}

void Ccam4ird_decrypt::OnRefresh(unsigned what, bool refreshed) {
    if (what & Cam4DecryptLogic::kRefreshInput)
        ShowBlock();
    if (what & Cam4DecryptLogic::kRefreshPrograms)
        FillProgramList();
    CFormTemplateView::OnRefresh(what & PageStep::kRefreshAll, refreshed);
}

std::optional<int> Ccam4ird_decrypt::Selection() const {
    return m_tabs->currentIndex();
}

void Ccam4ird_decrypt::ShowBlock() {
    const CamInputForm form = CamFormOfModuleType(m_logic.ModuleType());
    const std::vector<std::string> keys = CamFormKeys(form, false);
    for (const std::string& key : kInputKeys)
        m_input->SetUsed(key, std::find(keys.begin(), keys.end(), key) != keys.end());
    const uint8_t flags = m_logic.Input().Bytes()[18];
    const bool passThrough = flags & 0x01;
    m_input->SetUsed("eit", passThrough);
    m_input->SetUsed("tdt", passThrough);
    m_input->Control("eit")->hide();
    m_input->Control("tdt")->hide();
    m_eit->setVisible(passThrough);
    m_tdt->setVisible(passThrough);
    m_eit->setChecked(flags & 0x02);
    m_tdt->setChecked(flags & 0x04);
    m_input->Show(m_logic.Input());
}

void Ccam4ird_decrypt::FillProgramList() {
    m_programs->clear();
    const int channel = m_logic.Channel();
    for (int i = 0; i < m_logic.Count(channel); ++i) {
        const Cam4Program& p = m_logic.Program(channel, i);
        bool utf8 = false;
        const std::string raw = p.Name(&utf8);
        QString name = QString::fromStdString(utf8 ? raw : GbkToUtf8(raw));
        if (p.Ca())
            name = "($)" + name;
        m_programs->addTopLevelItem(
            new QTreeWidgetItem({QString::number(i + 1), name, QString::asprintf("%04X", p.Number()),
                                 QString::asprintf("%04X", p.PmtPid()), QString::number(p.Elements()),
                                 QString::number(p.Ca()), Cam4StatusText(p.Status())}));
    }
    m_index->setChecked(m_logic.IndexBox());
    m_index->setVisible(m_logic.IpIndexFeature());
}

}  // namespace nms
