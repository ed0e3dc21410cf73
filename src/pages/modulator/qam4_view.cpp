#include "pages/modulator/qam4_view.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "pagebase/lamp.h"

namespace nms {
namespace {

QLineEdit* ReadOnly(QWidget* parent) {
    auto* e = new QLineEdit("0", parent);
    e->setReadOnly(true);
    e->setMaximumWidth(90);
    return e;
}

}  // namespace

Cqam4::Cqam4(QWidget* parent) : CBlockPageView(parent) {
    m_modules = new QTabBar(this);
    MakeGetSetButtons();
    SetStatusPoll(kStatusTimerId, kQam4StatusPollMs);
    connect(m_modules, &QTabBar::tabBarClicked, this, &Cqam4::OnSelChangeTab);

    auto* monitor = new QGroupBox(this);
    auto* grid = new QGridLayout(monitor);
    m_rateLabel = new QLabel("RealTime Bitrate", monitor);
    grid->addWidget(m_rateLabel, 0, 1);
    grid->addWidget(new QLabel("MIN BitRate:", monitor), 0, 2);
    grid->addWidget(new QLabel("MAX BitRate:", monitor), 0, 3);
    for (int k = 0; k < kQam4Rfs; ++k) {
        grid->addWidget(new QLabel(QString("RF-%1").arg(k + 1), monitor), k + 1, 0);
        m_rate[size_t(k)] = ReadOnly(monitor);
        m_min[size_t(k)] = ReadOnly(monitor);
        m_max[size_t(k)] = ReadOnly(monitor);
        grid->addWidget(m_rate[size_t(k)], k + 1, 1);
        grid->addWidget(m_min[size_t(k)], k + 1, 2);
        grid->addWidget(m_max[size_t(k)], k + 1, 3);
    }
    auto* locks = new QHBoxLayout;
    m_lockCaption = new QLabel(" Lock Status", monitor);
    locks->addWidget(m_lockCaption);
    for (int n = 0; n < 9; ++n) {
        auto* lamp = MakeLamp(monitor);
        auto* label = new QLabel(QString("CH-%1").arg(n + 1), monitor);
        m_locks[size_t(n)] = lamp;
        m_lockLabels.push_back(label);
        locks->addWidget(lamp);
        locks->addWidget(label);
    }
    locks->addStretch();
    grid->addLayout(locks, kQam4Rfs + 1, 0, 1, 5);
    grid->setColumnStretch(4, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();
    auto* page = new QVBoxLayout(this);
    page->addWidget(m_modules);
    m_form = new QWidget(this);
    page->addWidget(m_form);
    page->addLayout(buttons);
    page->addWidget(monitor);
    page->addStretch();
}

Cqam4::~Cqam4() = default;

void Cqam4::Build() {
    // The form follows the variant's record; a new binding starts from a fresh record.
    delete m_form->layout();
    for (QWidget* w : m_form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        delete w;
    m_logic = std::make_unique<Qam4Logic>(m_pageParam);
    const Qam4Variant& v = m_logic->Variant();
    m_binder = std::make_unique<FormBinder>(m_logic->Table(), m_form);
    m_binder->DropLabels();
    auto* layout = new QVBoxLayout(m_form);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* radio = new QHBoxLayout;
    const std::vector<std::pair<std::string, const char*>> shared =
        v.layout == Qam4Layout::kDvbt
            ? std::vector<std::pair<std::string, const char*>>{{"bandwidth", "Bandwidth:"},
                                                               {"mode", "Transmission Mode:"},
                                                               {"constellation", "Constellation:"},
                                                               {"fec", "FEC:"},
                                                               {"guard", "Guard Interval:"}}
            : std::vector<std::pair<std::string, const char*>>{{"symbol", "Symbol:"},
                                                               {"constellation", "Constellation:"},
                                                               {"power", "Power:"},
                                                               {"spacing", "Interval Freq."}};
    for (const auto& [key, caption] : shared) {
        const bool used = !v.outputTab;
        m_binder->SetUsed(key, used);
        if (!used)
            continue;
        radio->addWidget(new QLabel(caption, m_form));
        radio->addWidget(m_binder->Control(key));
        if (key == "power")
            radio->addWidget(new QLabel("db(80-110)", m_form));
    }
    radio->addStretch();
    layout->addLayout(radio);
    if (v.layout == Qam4Layout::kDvbt)
        m_binder->SetUsed("power", false);

    auto* rfs = new QGridLayout;
    const char* headings[] = {"",    "Frequency(MHz):", "ATT(Db):", "PAT", "SDT", "NIT", "PMT",
                              "CAT", "TS ID:",          "NET. ID:"};
    std::array<QLabel*, 10> heading{};
    for (int c = 0; c < 10; ++c) {
        heading[size_t(c)] = new QLabel(headings[c], m_form);
        rfs->addWidget(heading[size_t(c)], 0, c);
    }
    const char* psi[] = {"pat", "sdt", "nit", "pmt", "cat"};
    for (int rf = 1; rf <= kQam4Rfs; ++rf) {
        const bool shown = rf <= v.rfs;
        const bool rf1Hidden = v.outputTab && rf == 1;
        // The scrambler's output tab shows the PSI checks and identifiers of RF-1 only.
        const bool ownTables = !v.outputTab || rf == 1;
        auto place = [&](const std::string& key, int column, bool used) {
            m_binder->SetUsed(key, used);
            rfs->addWidget(m_binder->Control(key), rf, column);
        };
        place(Qam4Key("rf", rf), 0, shown && !rf1Hidden);
        // A frequency the variant does not show still follows RF-1 and goes out with the others.
        place(Qam4Key("freq", rf), 1, true);
        m_binder->Control(Qam4Key("freq", rf))->setVisible(shown);
        place(Qam4Key("att", rf), 2, shown && !rf1Hidden);
        for (int b = 0; b < 5; ++b)
            place(Qam4Key(psi[b], rf), 3 + b, shown && ownTables && (v.psi >> b & 1));
        place(Qam4Key("ts", rf), 8, shown && ownTables && v.ids);
        place(Qam4Key("net", rf), 9, shown && ownTables && v.ids);
    }
    // A column shows its heading only when a field of it is shown.
    for (int b = 0; b < 5; ++b)
        heading[size_t(3 + b)]->setVisible(v.psi >> b & 1);
    heading[8]->setVisible(v.ids);
    heading[9]->setVisible(v.ids);
    // The PSI checks carry no text of their own: the column headings name them.
    for (const FieldDef& f : m_logic->Table())
        if (f.control == Control::kCheck && f.key.rfind("rf", 0) != 0)
            qobject_cast<QAbstractButton*>(m_binder->Control(f.key))->setText("");
    // Spare width goes past the last column, so the RF rows stay together whatever columns are hidden.
    rfs->setColumnStretch(10, 1);
    layout->addLayout(rfs);
    if (m_logic->Table().size() && FindField(m_logic->Table(), "mux") >= 0) {
        auto* lists = new QHBoxLayout;
        for (const char* key : {"mux", "scrambler"}) {
            m_binder->SetUsed(key, v.muxScrambler);
            if (v.muxScrambler) {
                lists->addWidget(new QLabel(key == std::string("mux") ? "MUX" : "Scrambler", m_form));
                lists->addWidget(m_binder->Control(key));
            }
        }
        lists->addStretch();
        layout->addLayout(lists);
    }
    auto* rf1 = qobject_cast<QLineEdit*>(m_binder->Control("freq1"));
    connect(rf1, &QLineEdit::textEdited, this, &Cqam4::OnChangeRf1Frequency);
    if (auto* combo = qobject_cast<QComboBox*>(m_binder->Control("bandwidth")))
        connect(combo, &QComboBox::activated, this, [this] { OnSelChangeCombo(); });

    while (m_modules->count())
        m_modules->removeTab(0);
    m_modules->setVisible(v.layout == Qam4Layout::kModules);
    if (v.layout == Qam4Layout::kModules)
        for (int m = 0; m < kQam4Modules; ++m)
            m_modules->addTab(QString("Channel %1-%2").arg(4 * m + 1).arg(4 * m + 4));
    for (int n = 0; n < 9; ++n) {
        m_locks[size_t(n)]->setVisible(n < v.locks);
        m_lockLabels[size_t(n)]->setVisible(n < v.locks);
    }
    // A variant without lamps shows no lock caption either, so the monitor closes up.
    m_lockCaption->setVisible(v.locks > 0);
    m_rateLabel->setText(v.outputTab ? "Total Bitrate:" : "RealTime Bitrate");
}

void Cqam4::OnInitialUpdate() {
    Build();
    ShowBlock();
    ShowStatus();
}

void Cqam4::ShowBlock() {
    // Module m's outputs are RF-4m+1 .. RF-4m+4.
    if (m_logic->Variant().layout == Qam4Layout::kModules)
        for (int rf = 1; rf <= kQam4Rfs; ++rf)
            qobject_cast<QAbstractButton*>(m_binder->Control(Qam4Key("rf", rf)))
                ->setText(QString("RF-%1").arg(kQam4Rfs * m_logic->Module() + rf));
    m_binder->Show(m_logic->Block());
}

void Cqam4::OnChangeRf1Frequency() {
    const Qam4Variant& v = m_logic->Variant();
    int spacing = 8;
    if (v.layout == Qam4Layout::kDvbt) {
        const int bandwidth = qobject_cast<QComboBox*>(m_binder->Control("bandwidth"))->currentIndex();
        spacing = bandwidth == 1 ? 7 : bandwidth == 2 ? 6 : 8;
    } else {
        spacing = qobject_cast<QLineEdit*>(m_binder->Control("spacing"))->text().toInt();
    }
    const auto frequencies = Qam4Logic::SpreadFrequencies(
        qobject_cast<QLineEdit*>(m_binder->Control("freq1"))->text().toStdString(), spacing);
    for (int rf = 2; rf <= kQam4Rfs; ++rf)
        qobject_cast<QLineEdit*>(m_binder->Control(Qam4Key("freq", rf)))
            ->setText(QString::fromStdString(frequencies[size_t(rf - 2)]));
}

void Cqam4::OnSelChangeTab(int module) {
    if (!m_logic || module < 0)
        return;
    PageStep refused;
    if (m_logic->SelectModule(module, m_binder->Inputs(), &refused)) {
        m_modules->setCurrentIndex(module);
        ShowBlock();
        ShowStatus();
        return;
    }
    // A refused field keeps the operator on this module with the field focused.
    m_modules->setCurrentIndex(m_logic->Module());
    RefuseSwitch(refused);
}

void Cqam4::OnRefresh(unsigned what, bool refreshed) {
    if (what & Qam4Logic::kRefreshModules) {
        for (int m = 0; m < m_modules->count(); ++m)
            m_modules->setTabVisible(m, m < m_logic->ModuleCount());
        m_modules->setCurrentIndex(m_logic->Module());
    }
    CBlockPageView::OnRefresh(what, refreshed);
    if (what & Qam4Logic::kRefreshStatus)
        ShowStatus();
}

void Cqam4::ShowStatus() {
    for (int k = 0; k < kQam4Rfs; ++k) {
        m_rate[size_t(k)]->setText(QString::fromStdString(m_logic->Rates()[size_t(k)]));
        m_min[size_t(k)]->setText(QString::fromStdString(m_logic->Minimum()[size_t(k)]));
        m_max[size_t(k)]->setText(QString::fromStdString(m_logic->Maximum()[size_t(k)]));
    }
    for (int n = 0; n < 8; ++n)
        SetLamp(m_locks[size_t(n)], m_logic->Locks() >> n & 1);
}

void Cqam4::OnSelChangeCombo() {
    OnSelChangeCombo(*this);
}

void Cqam4::OnTimer(CFormTemplateView& page, int id) {
    DeviceRecord* device = page.Device();
    // An offline or busy device simply gets no poll.
    if (id == kStatusTimerId && device)
        SendPollCommand(kStatusCommand, device, nullptr, 0);
    page.CFormTemplateView::OnTimer(id);
}

void Cqam4::OnSelChangeCombo(CFormTemplateView& page) {
    page.UpdateData(true);
}

}  // namespace nms
