#include "pages/ird/decoder4_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "pages/ird/ird_cam_decoder_view.h"

namespace nms {
namespace {

const std::vector<std::string> kInputKeys = {"freq", "lnb",  "symbol", "polarization",
                                             "qam",  "tone", "diseqc"};

QString Hex4(unsigned value) {
    return QString::asprintf("%04X", value);
}

}  // namespace

Cdecoder4::Cdecoder4(QWidget* parent) : CBlockPageView(parent) {
    m_input = std::make_unique<FormBinder>(CamIrdInputTable(), this);
    m_decoder = std::make_unique<FormBinder>(Decoder4SettingsTable(), this);
    for (const FieldDef& f : CamIrdInputTable())
        m_input->SetUsed(f.key, false);
    m_input->Label("qam")->setText("Constellation:");

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
    MakeGetSetButtons();
    auto* inputButtons = new QHBoxLayout;
    inputButtons->addWidget(m_get);
    inputButtons->addWidget(m_set);
    inputButtons->addStretch();
    inputGrid->addLayout(inputButtons, int(kInputKeys.size()), 0, 1, 2);

    m_programs = new QTreeWidget(this);
    m_programs->setRootIsDecorated(false);
    m_programs->setHeaderLabels(
        {"NO.", "Program Name", "Program NO.:", "PMT PID(0X)", "Elem.", "CA", "Status"});
    m_parse = new QPushButton("Parse", this);
    m_readPrograms = new QPushButton("Read", this);
    auto* programButtons = new QHBoxLayout;
    programButtons->addWidget(m_parse);
    programButtons->addWidget(m_readPrograms);
    programButtons->addStretch();

    auto* decoderGroup = new QGroupBox("Decoder", this);
    auto* decoderBox = new QVBoxLayout(decoderGroup);
    decoderBox->addWidget(MakeDecoderForm(*m_decoder, decoderGroup));
    m_readDecoder = new QPushButton("Read", decoderGroup);
    m_sendDecoder = new QPushButton("Send", decoderGroup);
    auto* decoderButtons = new QHBoxLayout;
    decoderButtons->addWidget(m_readDecoder);
    decoderButtons->addWidget(m_sendDecoder);
    decoderButtons->addStretch();
    decoderBox->addLayout(decoderButtons);

    // The input and decoder settings side by side, the program list under them across the page: stacked
    // under one another they were taller than the main window's page area.
    auto* row = new QHBoxLayout;
    row->addWidget(inputGroup, 0, Qt::AlignTop);
    row->addWidget(decoderGroup, 1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(m_tabs);
    page->addLayout(row);
    page->addWidget(m_programs, 1);
    page->addLayout(programButtons);

    connect(m_parse, &QPushButton::clicked, this, &Cdecoder4::OnParse);
    connect(m_readPrograms, &QPushButton::clicked, this, &Cdecoder4::OnReadPrograms);
    connect(m_readDecoder, &QPushButton::clicked, this, &Cdecoder4::OnReadDecoder);
    connect(m_sendDecoder, &QPushButton::clicked, this, &Cdecoder4::OnSendDecoder);
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && DeviceOnline())
            Carry(m_logic.Shown(index));
    });
    ShowBlock();
}

Cdecoder4::~Cdecoder4() = default;

void Cdecoder4::OnParse() {
    if (DeviceOnline())
        Carry(m_logic.Parse(m_tabs->currentIndex()));
}

void Cdecoder4::OnReadPrograms() {
    if (DeviceOnline())
        Carry(m_logic.ReadPrograms(m_tabs->currentIndex()));
}

void Cdecoder4::OnReadDecoder() {
    if (DeviceOnline())
        Carry(m_logic.ReadDecoder(m_tabs->currentIndex()));
}

void Cdecoder4::OnSendDecoder() {
    if (!DeviceOnline())
        return;
    const PageStep step = m_logic.SendDecoder(m_tabs->currentIndex(), m_decoder->Inputs());
    m_decoder->Focus(m_logic.FailedField());
    Carry(step);
}

void Cdecoder4::OnShowWindow(bool shown) {
    if (shown && DeviceOnline())
        Carry(m_logic.Shown(m_tabs->currentIndex()));
}

void Cdecoder4::OnRefresh(unsigned what, bool refreshed) {
    if (what & Decoder4Logic::kRefreshInput)
        ShowBlock();
    if (what & Decoder4Logic::kRefreshDecoder)
        ShowDecoderForm(*m_decoder, m_logic.Offer(), m_logic.Decoder(m_logic.Channel()));
    if (what & Decoder4Logic::kRefreshPrograms)
        FillProgramList();
    CFormTemplateView::OnRefresh(what & PageStep::kRefreshAll, refreshed);
}

std::optional<int> Cdecoder4::Selection() const {
    return m_tabs->currentIndex();
}

void Cdecoder4::ShowBlock() {
    const bool cable = CamFormOfModuleType(m_logic.ModuleType()) == CamInputForm::kCable;
    const std::vector<std::string> shown =
        cable ? CamFormKeys(CamInputForm::kCable, false) : CamFormKeys(CamInputForm::kSatellite, false);
    for (const std::string& key : kInputKeys)
        m_input->SetUsed(key, std::find(shown.begin(), shown.end(), key) != shown.end());
    m_input->Show(m_logic.Input(m_logic.Channel()));
}

void Cdecoder4::FillProgramList() {
    m_programs->clear();
    int row = 1;
    for (const Decoder4Program& p : m_logic.Programs()) {
        const char* status = p.status == 1 ? "CAM" : p.status == 2 ? "Delete" : "Bypass";
        const QString name = QString::fromStdString(p.name);
        m_programs->addTopLevelItem(new QTreeWidgetItem(
            {QString::number(row++), p.caCount ? "($)" + name : name, Hex4(p.number), Hex4(p.pmtPid),
             QString::number(p.elements), QString::number(p.caCount), status}));
    }
}

}  // namespace nms
