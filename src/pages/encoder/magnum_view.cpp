#include "pages/encoder/magnum_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QVBoxLayout>

#include "pages/encoder/net_descriptor_dlg.h"

namespace nms {
namespace {

const char* const kPictureKeys[] = {"contrast", "brightness", "hue"};

// A name edit wide enough to show a whole name: the field's bytes less the closing NUL.
void FitNameEdit(FormBinder& binder, const std::string& key) {
    auto* edit = qobject_cast<QLineEdit*>(binder.Control(key));
    const int chars = MagnumTable()[size_t(FindField(MagnumTable(), key))].length - 1;
    KeepWideEnoughFor(edit, QString(chars, QChar('N')));
    edit->setMaximumWidth(edit->minimumWidth());
}

}  // namespace

Cmagnum::Cmagnum(QWidget* parent) : CFormTemplateView(parent) {
    m_logic = std::make_unique<MagnumLogic>(0);
    m_tabs = new QTabBar(this);
    m_get = new QPushButton("Get", this);
    m_set = new QPushButton("Set", this);
    m_reset = new QPushButton("Reset", this);
    m_script = new QPushButton("Script", this);
    m_pair = new QComboBox(this);
    m_pairLabel = new QLabel("Channel", this);
    connect(m_get, &QPushButton::clicked, this, &Cmagnum::OnGet);
    connect(m_set, &QPushButton::clicked, this, &Cmagnum::OnSet);
    connect(m_reset, &QPushButton::clicked, this, &Cmagnum::OnReset);
    connect(m_script, &QPushButton::clicked, this, &Cmagnum::OnScript);
    connect(m_pair, &QComboBox::activated, this, &Cmagnum::OnSelChangePair);
    connect(m_tabs, &QTabBar::tabBarClicked, this, &Cmagnum::OnSelChangeTab);

    auto* form = new QWidget(this);
    m_binder = std::make_unique<FormBinder>(MagnumTable(), form);
    auto group = [&](const char* title, const std::vector<std::string>& keys) {
        auto* box = new QGroupBox(title, form);
        return std::pair{box, m_binder->AddRowsTo(box, keys, 1, 3)};
    };
    auto [video, videoGrid] =
        group("Video", {"vtype", "pixel", "framerate", "format", "aspect", "profile", "level", "rate",
                        "vbitrate", "videoPid", "contrast", "brightness", "hue"});
    m_enable = new QCheckBox("Enable", video);
    videoGrid->addWidget(m_enable, 0, 1);
    videoGrid->addWidget(new QLabel("Kbps", video), 9, 2);
    m_binder->Control("it")->setParent(video);
    videoGrid->addWidget(m_binder->Control("it"), 14, 1);
    auto [audio, audioGrid] = group("Audio", {"atype", "sample", "abitrate", "audioPid"});
    m_volume = new QCheckBox("Volume", audio);
    m_volumeEdit = new QLineEdit(audio);
    m_volumeEdit->setMaximumWidth(80);
    audioGrid->addWidget(m_volume, 5, 0);
    audioGrid->addWidget(m_volumeEdit, 5, 1);
    connect(m_volume, &QCheckBox::clicked, this, &Cmagnum::OnVolume);
    auto [service, serviceGrid] = group("", {"service", "name", "provider", "pmt", "pcr", "monitor"});
    FitNameEdit(*m_binder, "name");
    FitNameEdit(*m_binder, "provider");
    auto [rescaler, rescalerGrid] = group("", {"raspect", "rpixel", "rframerate", "rformat"});
    m_rescaler = new QCheckBox(QString::fromStdString(MagnumLogic::RescalerCaption(0)), rescaler);
    rescalerGrid->addWidget(m_rescaler, 0, 0);
    m_binder->SetUsed("rate", false);  // the device decides; the byte goes back as read
    if (auto* pixel = qobject_cast<QComboBox*>(m_binder->Control("pixel")))
        connect(pixel, &QComboBox::activated, this, &Cmagnum::OnSelChangePixel);

    auto* row = new QHBoxLayout(form);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(video);
    auto* middle = new QVBoxLayout;
    middle->addWidget(audio);
    middle->addWidget(rescaler);
    middle->addStretch();
    row->addLayout(middle);
    auto* right = new QVBoxLayout;
    right->addWidget(service);
    right->addStretch();
    row->addLayout(right);
    row->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addWidget(m_pairLabel);
    buttons->addWidget(m_pair);
    buttons->addWidget(m_script);
    buttons->addWidget(m_reset);
    buttons->addStretch();
    for (QWidget* hidden : std::initializer_list<QWidget*>{m_pairLabel, m_pair, m_script, m_reset})
        hidden->hide();
    // The three groups side by side are wider than the main window's page area: the form scrolls
    // sideways there instead of running past the window's edge.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(form);
    scroll->setFixedHeight(form->minimumSizeHint().height() +
                           scroll->horizontalScrollBar()->sizeHint().height());
    auto* page = new QVBoxLayout(this);
    page->addWidget(m_tabs);
    page->addWidget(scroll);
    page->addLayout(buttons);
    page->addStretch();
}

Cmagnum::~Cmagnum() = default;

void Cmagnum::OnInitialUpdate() {
    m_logic = std::make_unique<MagnumLogic>(m_pageParam);
    const int channels = m_logic->Variant().channels;
    m_pair->clear();
    for (int p = 0; p < channels / 2; ++p)
        m_pair->addItem(QString("Channel %1-%2").arg(2 * p + 1).arg(2 * p + 2));
    m_pair->setCurrentIndex(0);
    while (m_tabs->count())
        m_tabs->removeTab(0);
    for (int ch = 1; ch <= channels; ++ch)
        m_tabs->addTab(QString("Channel %1").arg(ch));
    m_tabs->setCurrentIndex(0);
    ShowChannel();
}

void Cmagnum::ShowChannel() {
    const bool picture = m_logic->PictureAdjustment();
    for (const char* key : kPictureKeys)
        m_binder->SetUsed(key, picture);
    m_binder->Show(m_logic->View());
    // A type the list does not name shows (and is written back as) its last entry.
    if (auto* type = qobject_cast<QComboBox*>(m_binder->Control("atype")); type->currentIndex() < 0)
        type->setCurrentIndex(2);
    const MagnumChecks c = m_logic->Checks();
    m_enable->setChecked(c.enable);
    m_rescaler->setChecked(c.rescaler);
    m_volume->setChecked(c.volume);
    m_volumeEdit->setText(QString::fromStdString(c.volumeText));
    m_volumeEdit->setEnabled(c.volume);
}

MagnumChecks Cmagnum::TakeChecks() const {
    MagnumChecks c;
    c.enable = m_enable->isChecked();
    c.rescaler = m_rescaler->isChecked();
    c.volume = m_volume->isChecked();
    c.volumeText = m_volumeEdit->text().toStdString();
    return c;
}

void Cmagnum::OnGet() {
    if (!DeviceOnline())
        return;
    m_tabs->setCurrentIndex(m_logic->Channel());
    m_rescaler->setText(QString::fromStdString(MagnumLogic::RescalerCaption(m_pair->currentIndex())));
    Carry(m_logic->Get(m_pair->currentIndex()));
}

void Cmagnum::OnSet() {
    if (!DeviceOnline())
        return;
    const PageStep step = m_logic->Set(m_binder->Inputs(), TakeChecks());
    m_binder->Focus(m_logic->FailedField());
    Carry(step);
}

void Cmagnum::OnReset() {
    if (!DeviceOnline())
        return;
    const PageStep step = m_logic->Reset(m_pair->currentIndex(), m_binder->Inputs(), TakeChecks());
    m_binder->Focus(m_logic->FailedField());
    Carry(step);
}

void Cmagnum::OnScript() {
    if (DeviceOnline())
        Carry(m_logic->ReadScript(m_pair->currentIndex()));
}

void Cmagnum::OnSelChangePair() {
    OnGet();
}

void Cmagnum::OnSelChangeTab(int channel) {
    if (channel < 0)
        return;
    PageStep refused;
    if (m_logic->SelectChannel(channel, m_binder->Inputs(), TakeChecks(), &refused)) {
        m_tabs->setCurrentIndex(channel);
        ShowChannel();
        return;
    }
    m_tabs->setCurrentIndex(m_logic->Channel());
    if (!refused.messages.empty()) {
        Carry(refused);
        m_binder->Focus(m_logic->FailedField());
    }
}

void Cmagnum::OnSelChangePixel() {
    auto* pixel = qobject_cast<QComboBox*>(m_binder->Control("pixel"));
    auto* rate = qobject_cast<QComboBox*>(m_binder->Control("framerate"));
    rate->setCurrentIndex(MagnumLogic::FrameRateForPixel(pixel->currentIndex(), rate->currentIndex()));
}

void Cmagnum::OnVolume() {
    const bool on = m_volume->isChecked();
    m_volumeEdit->setEnabled(on);
    m_volumeEdit->setText(on ? "25" : "0");
}

void Cmagnum::OpenScriptDialog() {
    CNetDescriptorDlg dialog(this);
    dialog.m_text = m_logic->Script().Text();
    const bool ok = m_runDialog ? m_runDialog(dialog) : dialog.DoModal() == 1;
    if (ok && DeviceOnline())
        Carry(m_logic->WriteScript(dialog.m_text));
}

void Cmagnum::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnGet();
}

void Cmagnum::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!device || device != m_device || !reply.IsValid())
        return;
    if (!IsBusy())
        if (const auto late = m_logic->HandleLate(reply)) {
            Carry(*late);
            return;
        }
    Carry(m_logic->HandleReply(reply));
}

void Cmagnum::OnRefresh(unsigned what, bool refreshed) {
    if (what & PageStep::kRefreshAll)
        ShowChannel();
    // The dialog opens after the reply handler returned: the link does not wait on the operator.
    if (what & MagnumLogic::kRefreshScript)
        QMetaObject::invokeMethod(this, &Cmagnum::OpenScriptDialog, Qt::QueuedConnection);
}

void Cmagnum::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic->WaitEnded();
    CFormTemplateView::OnTimer(id);
}

}  // namespace nms
