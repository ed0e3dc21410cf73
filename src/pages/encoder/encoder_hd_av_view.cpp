#include "pages/encoder/encoder_hd_av_view.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "pagebase/lamp.h"
#include "pages/encoder/encoder_public_view.h"
#include "pages/encoder/encoder_widgets.h"

namespace nms {
namespace {

constexpr int kStatusTimerId = kEncoderStatusTimerId;
const char* const kPictureKeys[] = {"volume",       "contrast",     "brightness", "hue",
                                    "saturationCb", "saturationCr", "stb"};

// The first lamp picture stands for an input with signal, the second for one without.
void ShowLock(QLabel* lamp, bool signal) {
    SetLamp(lamp, !signal);
}

}  // namespace

CencoderHDav::CencoderHDav(QWidget* parent) : CBlockPageView(parent) {
    m_binder = std::make_unique<FormBinder>(HdAvTable(), this);
    auto* page = new QVBoxLayout(this);

    auto* box = new QGroupBox("Video/Audio", this);
    auto* grid = new QGridLayout(box);
    QWidget* inputs = m_binder->Control("input");
    inputs->setParent(box);
    grid->addWidget(inputs, 0, 0, 1, 3);
    std::vector<std::string> keys = {"mode", "pixel", "profile", "level", "audioInterface", "audioBitrate"};
    for (const char* key : kPictureKeys)
        keys.push_back(key);
    for (const std::string& key : keys) {
        m_binder->Control(key)->setParent(box);
        if (QLabel* label = m_binder->Label(key))
            label->setParent(box);
    }
    m_binder->AddRows(grid, keys, 1);
    grid->setColumnStretch(2, 1);
    page->addWidget(box);

    auto* locks = new QHBoxLayout;
    const char* const lockNames[] = {"HDMI:", "SDI:", "YPbPr:", "CVBS:"};
    for (size_t i = 0; i < m_locks.size(); ++i) {
        locks->addWidget(new QLabel(lockNames[i], this));
        m_locks[i] = MakeLamp(this);
        ShowLock(m_locks[i], true);
        locks->addWidget(m_locks[i]);
    }
    m_format = new QLabel(this);
    m_format->setVisible(false);
    locks->addWidget(m_format);
    locks->addStretch();
    page->addLayout(locks);

    auto* status = new QHBoxLayout;
    m_bitrate = new QLineEdit(this);
    m_max = new QLineEdit(this);
    m_min = new QLineEdit(this);
    for (auto [caption, edit] :
         {std::pair{"BitRate:", m_bitrate}, std::pair{"MAX:", m_max}, std::pair{"MIN:", m_min}}) {
        edit->setReadOnly(true);
        edit->setMaximumWidth(90);
        status->addWidget(new QLabel(caption, this));
        status->addWidget(edit);
    }
    status->addStretch();
    page->addLayout(status);

    AddGetSetRow(page);
    page->addStretch();
    SetStatusPoll(kStatusTimerId, kHdAvPollMs);

    for (QRadioButton* radio : inputs->findChildren<QRadioButton*>())
        connect(radio, &QRadioButton::clicked, this, &CencoderHDav::OnInputClick);
}

CencoderHDav::~CencoderHDav() = default;

QComboBox* CencoderHDav::PixelCombo() const {
    return qobject_cast<QComboBox*>(m_binder->Control("pixel"));
}

void CencoderHDav::SetDevice(DeviceRecord* device) {
    CBlockPageView::SetDevice(device);
    if (DeviceOnline())
        OnGet();
}

void CencoderHDav::OnInitialUpdate() {
    const bool picture = HdAvVariantOf(m_pageParam).picture;
    for (const char* key : kPictureKeys)
        m_binder->SetUsed(key, picture);
    ShowBlock();
}

void CencoderHDav::FillPixels(int input, int value) {
    QComboBox* pixel = PixelCombo();
    pixel->clear();
    for (const std::string& text : HdAvPixelList(input))
        pixel->addItem(QString::fromStdString(text));
    pixel->setCurrentIndex(HdAvPixelIndex(input, value));
    m_pixelInput = input;
}

void CencoderHDav::ShowBlock() {
    const ParamBlock& block = m_logic.Block();
    m_binder->Show(block);
    ShowFallbacks(*m_binder, block, HdAvFallbacks());
    FillPixels(block.Bytes()[0], block.Bytes()[1]);
}

void CencoderHDav::ShowStatus() {
    if (const auto bitrate = m_logic.Bitrate())
        m_bitrate->setText(QString::fromStdString(FormatThousandths(*bitrate)));
    if (m_logic.Range().Known()) {
        m_max->setText(QString::fromStdString(FormatThousandths(m_logic.Range().Max())));
        m_min->setText(QString::fromStdString(FormatThousandths(m_logic.Range().Min())));
    }
    if (const auto locks = m_logic.Locks())
        for (size_t i = 0; i < m_locks.size(); ++i)
            ShowLock(m_locks[i], (*locks >> i) & 1);
    m_format->setText(QString::fromStdString(m_logic.Format()));
    m_format->setVisible(m_logic.ShowsFormat());
}

void CencoderHDav::OnInputClick() {
    const int input = ListSelection(m_binder->Control("input"));
    if (input < 0 || input == m_pixelInput)
        return;
    const int selection = PixelCombo()->currentIndex();
    const int value = selection >= 0 ? HdAvPixelValue(m_pixelInput, selection) : m_logic.Block().Bytes()[1];
    FillPixels(input, value);
    SelectListEntry(m_binder->Control("audioInterface"), HdAvInterfaceOf(input));
}

void CencoderHDav::OnGet() {
    if (DeviceOnline())
        CBlockPageView::OnGet();
    else
        ShowBlock();
}

std::optional<int> CencoderHDav::Selection() const {
    const int pixel = PixelCombo()->currentIndex();
    return pixel >= 0 ? std::optional<int>(pixel) : std::nullopt;
}

bool CencoderHDav::MayPoll() const {
    return CEncoderPublicView::MayPollStatus(*this);
}

void CencoderHDav::OnRefresh(unsigned what, bool refreshed) {
    CBlockPageView::OnRefresh(what, refreshed);
    if (what & HdAvLogic::kRefreshStatus)
        ShowStatus();
}

}  // namespace nms
