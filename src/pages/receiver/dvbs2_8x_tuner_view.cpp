#include "pages/receiver/dvbs2_8x_tuner_view.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

#include "pages/receiver/dvbs_system_view.h"
#include "pages/receiver/tuner_grid.h"

namespace nms {

Cdvbs2_8xTuner::Cdvbs2_8xTuner(QWidget* parent) : CRequestPageView(parent) {
    m_grid = new TunerGrid(this);
    m_grid->SetColumnShown(TunerGrid::kDisable, false);
    TunerGrid::LayOutPage(this, m_grid, nullptr, &m_get, &m_set);
    connect(m_get, &QPushButton::clicked, this, [this] { OnGet(); });
    connect(m_set, &QPushButton::clicked, this, &Cdvbs2_8xTuner::OnSet);
    // The bar's index is only ever set by the program with its signals blocked: a change is the operator's.
    connect(m_grid->Tabs(), &QTabBar::currentChanged, this, &Cdvbs2_8xTuner::OnSelChangeTab);
}

void Cdvbs2_8xTuner::OnInitialUpdate() {
    m_logic.Reset();
    FillLists();
    ShowRows();
}

void Cdvbs2_8xTuner::FillLists() {
    QTabBar* tabs = m_grid->Tabs();
    {
        const QSignalBlocker block(tabs);
        if (m_logic.Sixteen() && tabs->count() != 2) {
            while (tabs->count())
                tabs->removeTab(0);
            tabs->addTab("Channel 1-8");
            tabs->addTab("Channel 8-16");
        }
        if (m_logic.Sixteen())
            tabs->setCurrentIndex(m_logic.Tab());
        tabs->setVisible(m_logic.Sixteen());
    }
    // Every reply lays the grid out anew for its mode, so a satellite layout never keeps what a cable or
    // terrestrial one changed.
    const TunerForm form = m_logic.Form();
    m_grid->SetCaption(TunerGrid::kFrequency, "Frequency:");
    m_grid->SetCaption(TunerGrid::kLnb, "LNB Frequency:");
    m_grid->SetCaption(TunerGrid::kSymbol, "Symbol:");
    m_grid->SetCaption(TunerGrid::kFirst,
                       form == TunerForm::kTerrestrial ? "Modulation Mode" : "Polarization:");
    m_grid->SetCaption(TunerGrid::kSecond, form == TunerForm::kTerrestrial ? "Bandwidth:" : "22KHz");
    m_grid->FillColumn(TunerGrid::kFirst, form == TunerForm::kCable         ? kTunerConstellationList
                                          : form == TunerForm::kTerrestrial ? kModulationModeList
                                                                            : kPolarizationList);
    m_grid->FillColumn(TunerGrid::kSecond, form == TunerForm::kTerrestrial ? kBandwidthList : kToneList);
    m_grid->SetColumnShown(TunerGrid::kLnb, form == TunerForm::kSatellite);
    m_grid->SetColumnShown(TunerGrid::kSymbol, form != TunerForm::kTerrestrial);
    m_grid->SetColumnShown(TunerGrid::kSecond, form != TunerForm::kCable);
    m_grid->SetColumnShown(TunerGrid::kDiseqc, form == TunerForm::kSatellite);
    m_grid->SetRowsShown(TunerGrid::kRows);
}

void Cdvbs2_8xTuner::ShowRows() {
    for (int r = 0; r < TunerGrid::kRows; ++r)
        m_grid->SetRow(r, ShowTunerRow(m_logic.Records(), m_logic.RecordOffset(r), false));
    m_grid->SetRowNumbers(1 + 8 * m_logic.Tab());
}

std::array<TunerRowInputs, 8> Cdvbs2_8xTuner::Rows() const {
    std::array<TunerRowInputs, 8> rows{};
    for (int r = 0; r < TunerGrid::kRows; ++r)
        rows[size_t(r)] = m_grid->Row(r);
    return rows;
}

void Cdvbs2_8xTuner::FocusFailed() {
    if (m_logic.FailedRow() >= 0)
        m_grid->FocusRow(m_logic.FailedRow());
}

bool Cdvbs2_8xTuner::DoDataExchange(bool collect) {
    // The page collects its rows only through Set and a tab switch (the logic takes them).
    if (!collect)
        ShowRows();
    return true;
}

void Cdvbs2_8xTuner::OnSet() {
    if (!DeviceOnline())
        return;
    Carry(m_logic.Set(Rows()));
    FocusFailed();
}

void Cdvbs2_8xTuner::OnSelChangeTab(int tab) {
    bool switched = false;
    const PageStep step = m_logic.SwitchTab(Rows(), tab, &switched);
    if (switched) {
        ShowRows();
        return;
    }
    const QSignalBlocker block(m_grid->Tabs());
    m_grid->Tabs()->setCurrentIndex(m_logic.Tab());
    Carry(step);
    FocusFailed();
}

void Cdvbs2_8xTuner::BeforeReplyStep(const ReplyView&, const PageStep& step) {
    // The lists first: refilled lists would lose the selections shown before them.
    if (step.refresh & kTuner8xRefreshLayout)
        FillLists();
}

}  // namespace nms
