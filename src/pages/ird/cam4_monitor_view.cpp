#include "pages/ird/cam4_monitor_view.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "pagebase/lamp.h"

namespace nms {
namespace {

// The page's variants: the decoder has no CAM slots.
struct MonitorVariant {
    int pageParam;
    bool camColumn;
};
constexpr MonitorVariant kVariants[] = {{0, true}, {67, false}};

// The input columns; the mode and switch columns hold one of several lists by module type.
const std::vector<std::string> kInputColumns[] = {
    {"freq"}, {"lnb"}, {"symbol"}, {"polarization", "qam", "standard"}, {"tone", "bandwidth"}, {"diseqc"}};
const char* const kInputHeadings[] = {
    "Frequency:", "LNB Frequency:", "Symbol:", "Polarization:", "22K:", "DiSEqC:", "Output Bitrate(Kbps):"};

QLineEdit* ReadOnly(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    edit->setMaximumWidth(110);
    return edit;
}

}  // namespace

Ccam4ird_monitors::Ccam4ird_monitors(QWidget* parent) : CFormTemplateView(parent) {
    auto* monitor = new QGroupBox(this);
    auto* grid = new QGridLayout(monitor);
    const char* headings[] = {"NO.", "Program", "BitRate:", "CAM", "Lock", "Signal Quality"};
    int column = 0;
    for (const char* h : headings) {
        auto* label = new QLabel(h, monitor);
        if (column == 3) {
            m_camHeading = label;
            grid->addWidget(label, 0, column, 1, 2);
            column += 2;
        } else {
            grid->addWidget(label, 0, column, 1, column == 6 ? 2 : 1);
            ++column;
        }
    }
    for (int k = 0; k < kCamChannels; ++k) {
        ChannelRow& row = m_rows[size_t(k)];
        row.programs = ReadOnly(monitor);
        row.bitrate = ReadOnly(monitor);
        row.cam = MakeLamp(monitor);
        row.camName = ReadOnly(monitor);
        row.lock = MakeLamp(monitor);
        row.signal = new QProgressBar(monitor);
        row.signal->setRange(0, 100);
        row.signal->setValue(0);
        row.signal->setTextVisible(false);
        row.signalText = new QLabel(monitor);
        grid->addWidget(new QLabel(QString::number(k + 1), monitor), k + 1, 0);
        grid->addWidget(row.programs, k + 1, 1);
        grid->addWidget(row.bitrate, k + 1, 2);
        grid->addWidget(row.cam, k + 1, 3);
        grid->addWidget(row.camName, k + 1, 4);
        grid->addWidget(row.lock, k + 1, 5);
        grid->addWidget(row.signal, k + 1, 6);
        grid->addWidget(row.signalText, k + 1, 7);
    }

    auto* inputs = new QGroupBox("Input Parameter", this);
    auto* inputGrid = new QGridLayout(inputs);
    for (int c = 0; c < 7; ++c) {
        auto* label = new QLabel(kInputHeadings[c], inputs);
        m_inputHeadings.push_back(label);
        inputGrid->addWidget(label, 0, c);
    }
    for (int k = 0; k < kCamChannels; ++k) {
        m_inputs[size_t(k)] = std::make_unique<FormBinder>(CamIrdInputTable(), inputs);
        m_bitrates[size_t(k)] = std::make_unique<FormBinder>(CamOutputBitrateTable(), inputs);
        FormBinder& binder = *m_inputs[size_t(k)];
        binder.DropLabels();
        for (const FieldDef& f : CamIrdInputTable())
            binder.SetUsed(f.key, false);
        for (int c = 0; c < 6; ++c)
            for (const std::string& key : kInputColumns[c])
                inputGrid->addWidget(binder.Control(key), k + 1, c);
        m_bitrates[size_t(k)]->DropLabels();
        inputGrid->addWidget(m_bitrates[size_t(k)]->Control("bitrate"), k + 1, 6);
    }
    m_eit = new QCheckBox("EIT", inputs);
    m_tdt = new QCheckBox("TDT", inputs);
    m_eit->hide();
    m_tdt->hide();
    m_get = new QPushButton("Get", inputs);
    m_set = new QPushButton("Set", inputs);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_eit);
    buttons->addWidget(m_tdt);
    buttons->addStretch();
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    inputGrid->addLayout(buttons, kCamChannels + 1, 0, 1, 7);

    auto* page = new QVBoxLayout(this);
    page->addWidget(monitor);
    page->addWidget(inputs);
    page->addStretch();
    connect(m_get, &QPushButton::clicked, this, &Ccam4ird_monitors::OnGet);
    connect(m_set, &QPushButton::clicked, this, &Ccam4ird_monitors::OnSet);
    ShowInputs();
}

Ccam4ird_monitors::~Ccam4ird_monitors() = default;

void Ccam4ird_monitors::OnInitialUpdate() {
    const MonitorVariant& variant = FindVariant(kVariants, m_pageParam);
    m_camHeading->setVisible(variant.camColumn);
    for (ChannelRow& row : m_rows)
        row.cam->setVisible(variant.camColumn);
}

void Ccam4ird_monitors::OnGet() {
    if (DeviceOnline())
        Carry(m_logic.Get());
}

void Ccam4ird_monitors::OnSet() {
    if (!DeviceOnline())
        return;
    std::array<Cam4MonitorLogic::Row, kCamChannels> rows;
    for (int k = 0; k < kCamChannels; ++k) {
        rows[size_t(k)].record = m_inputs[size_t(k)]->Inputs();
        rows[size_t(k)].bitrate = m_bitrates[size_t(k)]->Inputs();
    }
    std::optional<bool> eit, tdt;
    if (!m_eit->isHidden()) {
        eit = m_eit->isChecked();
        tdt = m_tdt->isChecked();
    }
    const PageStep step = m_logic.Set(rows, eit, tdt);
    if (m_logic.FailedChannel() >= 0)
        m_inputs[size_t(m_logic.FailedChannel())]->Focus(m_logic.FailedField());
    Carry(step);
}

void Ccam4ird_monitors::OnShowWindow(bool shown) {
    if (!m_device)
        return;
    if (shown) {
        SetTimer(kCam4MonitorTimerId, kCam4MonitorPollMs);
        OnGet();
    } else {
        KillTimer(kCam4MonitorTimerId);
    }
}

void Ccam4ird_monitors::OnTimer(int id) {
    // The poll waits while the inputs are read or written, so it never takes their send slot.
    if (id == kCam4MonitorTimerId && DeviceOnline() && !IsBusy())
        Carry(m_logic.Poll());
    if (id == kWaitTimerId)
        m_logic.WaitEnded();
    CFormTemplateView::OnTimer(id);
}

void Ccam4ird_monitors::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device && device == m_device && reply.IsValid())
        Carry(m_logic.HandleReply(reply));
}

void Ccam4ird_monitors::OnRefresh(unsigned what, bool refreshed) {
    if (what & Cam4MonitorLogic::kRefreshInputs)
        ShowInputs();
    if (what & Cam4MonitorLogic::kRefreshStatus)
        ShowStatus();
    CFormTemplateView::OnRefresh(what & PageStep::kRefreshAll, refreshed);
}

void Ccam4ird_monitors::ShowInputs() {
    const CamInputForm form = CamFormOfModuleType(m_logic.ModuleType());
    const std::vector<std::string> keys = CamFormKeys(form, false);
    const auto used = [&](const std::string& key) {
        return std::find(keys.begin(), keys.end(), key) != keys.end();
    };
    for (int k = 0; k < kCamChannels; ++k) {
        FormBinder& binder = *m_inputs[size_t(k)];
        for (const std::vector<std::string>& column : kInputColumns)
            for (const std::string& key : column)
                binder.SetUsed(key, used(key));
        binder.Show(m_logic.Record(k));
        m_bitrates[size_t(k)]->Show(m_logic.Bitrate(k));
    }
    m_inputHeadings[1]->setVisible(used("lnb"));
    m_inputHeadings[2]->setVisible(used("symbol"));
    m_inputHeadings[3]->setVisible(form != CamInputForm::kFrequencyOnly);
    m_inputHeadings[3]->setText(form == CamInputForm::kCable         ? "Constellation:"
                                : form == CamInputForm::kTerrestrial ? "Modulation Mode"
                                                                     : "Polarization:");
    m_inputHeadings[4]->setVisible(used("tone") || used("bandwidth"));
    m_inputHeadings[4]->setText(form == CamInputForm::kTerrestrial ? "Bandwidth:" : "22K:");
    m_inputHeadings[5]->setVisible(used("diseqc"));
    const uint8_t flags = m_logic.Record(0).Bytes()[18];
    const bool passThrough = flags & 0x01;
    m_eit->setVisible(passThrough);
    m_tdt->setVisible(passThrough);
    if (passThrough) {
        m_eit->setChecked(flags & 0x02);
        m_tdt->setChecked(flags & 0x04);
    }
}

void Ccam4ird_monitors::ShowStatus() {
    for (int k = 0; k < kCamChannels; ++k) {
        const Cam4ChannelStatus& s = m_logic.Status()[size_t(k)];
        if (!s.valid)
            continue;
        ChannelRow& row = m_rows[size_t(k)];
        row.programs->setText(QString::number(s.programs));
        row.bitrate->setText(QString::asprintf("%d.%03d", s.bitrate / 1000, std::abs(s.bitrate % 1000)));
        if (s.percent) {
            row.signal->setRange(0, 100);
            row.signal->setValue(std::clamp(s.quality, 0, 100));
            row.signalText->setText(QString::asprintf("%.2f%%", double(s.quality)));
        } else {
            row.signal->setRange(0, 30);
            row.signal->setValue(std::clamp(s.quality / 100, 0, 30));
            row.signalText->setText(QString::asprintf("%.2fdb", s.quality * 0.01));
        }
        SetLamp(row.lock, s.locked);
        SetLamp(row.cam, s.cam);
        row.camName->setText(QString::fromStdString(s.camName));
    }
}

}  // namespace nms
