#include "pages/mux/transcode_program_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "pages/mux/edit_program_fields.h"
#include "pages/mux/stream_type_labels.h"
#include "platform/codepage.h"

namespace nms {

const int CTranscodeProgramDlg::kAudioBitrates[10] = {64, 96, 112, 128, 160, 192, 224, 256, 320, 384};

namespace {

const char* const kSameAsInput = "Same as input";

bool IsAudioType(uint8_t t) {
    return t == 0x03 || t == 0x04 || t == 0x06 || t == 0x0F || t == 0x81 || t == 0x84;
}

QStringList AudioModeEntries(uint8_t t) {
    switch (t) {
        case 0x03:
            return {"MPEG1 to un-mux", "MPEG1 to pass", "MPEG1 to MPEG1"};
        case 0x04:
            return {"MPEG2 to un-mux", "MPEG2 to pass"};
        case 0x0F:
            return {"AAC to un-mux", "AAC to pass"};
        default:
            return {"AC3 to un-mux", "AC3 to pass"};
    }
}

int AudioEntryForMode(uint8_t t, int mode) {
    if (mode == 0)
        return 0;
    return t == 0x03 && mode == 2 ? 2 : 1;
}

// Entry of the video combo for the record's mode; -1 when the list has none for it.
int VideoEntryForMode(uint8_t videoType, int mode) {
    if (videoType == 0x02 && mode >= 3 && mode <= 5)
        return mode - 3;
    if (videoType == 0x1B && mode >= 0 && mode <= 2)
        return mode;
    return -1;
}

bool MpegTwoOutput(int mode) {
    return mode >= 1 && mode <= 4;
}

void SelectIndex(QComboBox* combo, int index) {
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

}  // namespace

CTranscodeProgramDlg::CTranscodeProgramDlg(TranscodeProgramRecord* record, QWidget* parent)
    : CProgramDlgBase(parent, "Transcode Setting"), m_record(record) {
    m_name->setMaxLength(kMaxProgramNameBytes);
    m_elementPid = new QLineEdit(this);
    m_bitrate = new QLineEdit(this);
    m_width = new QLineEdit(this);
    m_height = new QLineEdit(this);
    m_key = new QLineEdit(this);
    m_element = new QComboBox(this);
    m_video = new QComboBox(this);
    m_profile = new QComboBox(this);
    m_level = new QComboBox(this);
    m_rateControl = new QComboBox(this);
    m_audioElement = new QComboBox(this);
    m_audioElement->setEnabled(false);
    m_audioMode = new QComboBox(this);
    m_audioBitrate = new QComboBox(this);
    m_fps = new QComboBox(this);
    m_channel = new QComboBox(this);
    m_channel->setEnabled(false);
    m_profileLabel = new QLabel("Profile:", this);
    m_levelLabel = new QLabel("Level:", this);
    m_audioModeLabel = new QLabel("Audio Pass:", this);
    m_audioBitrateLabel = new QLabel("Audio Bitrate:", this);

    MakeOkCancel();
    connect(m_element, &QComboBox::activated, this, &CTranscodeProgramDlg::OnElementChanged);
    connect(m_audioMode, &QComboBox::activated, this, &CTranscodeProgramDlg::OnAudioModeChanged);
    connect(m_audioBitrate, &QComboBox::activated, this, &CTranscodeProgramDlg::OnAudioBitrateChanged);
    connect(m_video, &QComboBox::activated, this, &CTranscodeProgramDlg::OnVideoModeChanged);
    connect(m_fps, &QComboBox::activated, this, &CTranscodeProgramDlg::OnFrameRateChanged);

    auto* grid = new QGridLayout;
    int row = 0;
    auto pair = [&](const char* label, QWidget* w, int col) {
        grid->addWidget(new QLabel(label, this), row, col);
        grid->addWidget(w, row, col + 1);
    };
    pair("Program Name:", m_name, 0);
    pair("Channel:", m_channel, 2);
    ++row;
    pair("Service ID:", m_serviceId, 0);
    pair("Key : ", m_key, 2);
    ++row;
    pair("PMT PID: 0x", m_pmt, 0);
    pair("PCR PID: 0x", m_pcr, 2);
    ++row;
    pair("Element NO.", m_element, 0);
    pair(QString("%1 PID:0x").arg("Elem.").toUtf8().constData(), m_elementPid, 2);
    ++row;
    pair("Video Trans.:", m_video, 0);
    pair("RateControl:", m_rateControl, 2);
    ++row;
    grid->addWidget(m_profileLabel, row, 0);
    grid->addWidget(m_profile, row, 1);
    grid->addWidget(m_levelLabel, row, 2);
    grid->addWidget(m_level, row, 3);
    ++row;
    pair("Video Bitrate:", m_bitrate, 0);
    grid->addWidget(new QLabel("Kbps", this), row, 2);
    ++row;
    pair("Hsize: ", m_width, 0);
    pair("Vsize: ", m_height, 2);
    ++row;
    pair("Fps:", m_fps, 0);
    grid->addWidget(m_audioElement, row, 3);
    ++row;
    grid->addWidget(m_audioModeLabel, row, 0);
    grid->addWidget(m_audioMode, row, 1);
    grid->addWidget(m_audioBitrateLabel, row, 2);
    grid->addWidget(m_audioBitrate, row, 3);
    FinishLayout(grid);
}

void CTranscodeProgramDlg::SetProfileLevelVisible(bool visible) {
    m_profileLabel->setVisible(visible);
    m_profile->setVisible(visible);
    m_levelLabel->setVisible(visible);
    m_level->setVisible(visible);
}

void CTranscodeProgramDlg::ShowSize() {
    const TranscodeProgramRecord& r = *m_record;
    m_width->setText(r.Width() ? QString::number(r.Width()) : QString(kSameAsInput));
    m_height->setText(r.Height() ? QString::number(r.Height()) : QString(kSameAsInput));
}

void CTranscodeProgramDlg::ShowAudioBitrate() {
    m_audioBitrate->clear();
    int entry = 5;  // "192kbps" for a bitrate the list does not hold
    for (int i = 0; i < 10; ++i) {
        m_audioBitrate->addItem(QString("%1kbps").arg(kAudioBitrates[i]));
        if (kAudioBitrates[i] == m_record->AudioBitrate())
            entry = i;
    }
    m_audioBitrate->setCurrentIndex(entry);
    m_audioBitrateLabel->show();
    m_audioBitrate->show();
}

// Fills the audio mode list for an element; fromRecord: the element is the record's audio element, so its
// mode picks the entry (else entry 1).
void CTranscodeProgramDlg::ShowAudioFor(int element, bool fromRecord) {
    m_audioBitrateLabel->hide();
    m_audioBitrate->hide();
    const uint8_t type = m_record->ElementStreamType(element);
    if (!IsAudioType(type)) {
        m_audioModeLabel->hide();
        m_audioMode->hide();
        m_audioType = 0;
        m_audioIndex = -1;
        return;
    }
    m_audioType = type;
    m_audioIndex = element;
    m_audioMode->clear();
    m_audioMode->addItems(AudioModeEntries(type));
    const int entry = fromRecord ? AudioEntryForMode(type, m_record->AudioMode()) : 1;
    m_audioMode->setCurrentIndex(entry);
    m_audioModeLabel->show();
    m_audioMode->show();
    if (type == 0x03 && fromRecord && m_record->AudioMode() == 2)
        ShowAudioBitrate();
}

bool CTranscodeProgramDlg::DoDataExchange(bool collect) {
    TranscodeProgramRecord& r = *m_record;
    const int count = std::min<int>(r.ElementCount(), kMaxElements);
    if (!collect) {
        for (QComboBox* c : {m_element, m_video, m_profile, m_level, m_rateControl, m_audioElement,
                             m_audioMode, m_audioBitrate, m_fps, m_channel})
            c->clear();
        m_audioModeLabel->hide();
        m_audioMode->hide();
        m_audioBitrateLabel->hide();
        m_audioBitrate->hide();
        m_profile->addItems({"High Profile", "Main Profile"});
        m_level->addItems({"Level 3.0", "Level 3.1", "Level 3.2", "Level 4.0", "Level 4.1", "Level 4.2"});
        m_rateControl->addItems({"CBR", "VBR"});
        m_fps->addItems({"25", "29.9", "50I", "50P", "60I", "60P"});
        for (int n = 1; n <= 8; ++n)
            m_channel->addItem(QString::number(n));

        m_name->setText(QString::fromStdString(GbkToUtf8(r.OutputName())));
        m_serviceId->setText(QString::number(r.OutputServiceId()));
        m_pmt->setText(QString::number(r.OutputPmtPid(), 16));
        m_pcr->setText(QString::number(r.OutputPcrPid(), 16));

        m_videoType = 0;
        for (int i = 0; i < count; ++i) {
            const uint8_t t = r.ElementStreamType(i);
            const QString entry = QString::fromStdString(StreamTypeLabels::TranscodeEntry(i, t));
            m_element->addItem(entry);
            m_audioElement->addItem(entry);
            if (!m_videoType && (t == 0x02 || t == 0x1B))
                m_videoType = t;
        }
        if (m_videoType == 0x02)
            m_video->addItems({"MPEG2-to-MPEG2-PAL", "MPEG2-to-MPEG2-NTSC", "MPEG2-to-H.264"});
        else if (m_videoType == 0x1B)
            m_video->addItems({"H.264-to-H.264", "H.264-to-MPEG2-PAL", "H.264-to-MPEG2-NTSC"});
        SelectIndex(m_video, VideoEntryForMode(m_videoType, r.VideoMode()));
        SetProfileLevelVisible(!MpegTwoOutput(r.VideoMode()));

        m_elementEntry = count > 0 ? 0 : -1;
        SelectIndex(m_element, m_elementEntry);
        m_elementPid->setText(count > 0 ? QString::number(r.ElementOutputPid(0), 16) : QString());

        m_audioType = 0;
        m_audioIndex = -1;
        const int audio = r.AudioElementIndex();
        if (audio < count && IsAudioType(r.ElementStreamType(audio))) {
            m_audioElement->setCurrentIndex(audio);
            m_audioType = r.ElementStreamType(audio);
            m_audioIndex = audio;
            m_audioMode->addItems(AudioModeEntries(m_audioType));
            m_audioMode->setCurrentIndex(AudioEntryForMode(m_audioType, r.AudioMode()));
        } else {
            m_audioElement->setCurrentIndex(-1);
        }

        ShowSize();
        m_key->setText(QString::number(r.KeyValue()));
        SelectIndex(m_rateControl, r.RateControl());
        SelectIndex(m_level, r.Level());
        SelectIndex(m_profile, r.Profile());
        m_bitrate->setText(QString::number(r.VideoBitrate()));
        SelectIndex(m_fps, r.FrameRate());
        SelectIndex(m_channel, r.Channel() - 1);
        return true;
    }

    // Check every field first, then write: a refused OK changes nothing but what the operator already chose.
    std::string name;
    uint32_t sid = 0, pmt = 0, pcr = 0, width = 0, height = 0, key = 0, bitrate = 0;
    if (!NameToDevice(m_name->text(), &name) || !NameFits(name.size(), kMaxProgramNameBytes) ||
        !ReadNumbers({{m_serviceId, false, &sid},
                      {m_pmt, true, &pmt},
                      {m_pcr, true, &pcr},
                      {m_key, false, &key},
                      {m_bitrate, false, &bitrate}}))
        return false;
    const bool sameSize = m_width->text() == kSameAsInput;
    if (!sameSize) {
        for (auto [edit, value] : {std::pair{m_width, &width}, std::pair{m_height, &height}}) {
            if (edit->text() != kSameAsInput && !ReadNumbers({{edit, false, value}}))
                return false;
        }
    }
    if (!StoreElementPid())
        return false;

    if (m_channel->currentIndex() >= 0)
        r.SetChannel(static_cast<uint8_t>(m_channel->currentIndex() + 1));
    if (name != r.OutputName())
        r.SetOutputName(name);
    r.SetOutputServiceId(static_cast<uint16_t>(sid));
    r.SetOutputPmtPid(static_cast<uint16_t>(pmt));
    r.SetOutputPcrPid(static_cast<uint16_t>(pcr));
    const int entry = m_video->currentIndex();
    bool withProfile = false;
    if (m_videoType == 0x02 && entry >= 0) {
        r.SetVideoMode(static_cast<uint8_t>(entry == 0 ? 3 : entry == 1 ? 4 : 5));
        withProfile = entry == 2;
    } else if (m_videoType == 0x1B && entry >= 0) {
        r.SetVideoMode(static_cast<uint8_t>(entry));
        withProfile = entry == 0;
    }
    if (withProfile) {
        if (m_profile->currentIndex() >= 0)
            r.SetProfile(static_cast<uint8_t>(m_profile->currentIndex()));
        if (m_level->currentIndex() >= 0)
            r.SetLevel(static_cast<uint8_t>(m_level->currentIndex()));
    }
    r.SetWidth(static_cast<uint16_t>(width));
    r.SetHeight(static_cast<uint16_t>(height));
    r.SetKeyValue(static_cast<uint16_t>(key));
    if (m_rateControl->currentIndex() >= 0)
        r.SetRateControl(static_cast<uint8_t>(m_rateControl->currentIndex()));
    r.SetVideoBitrate(static_cast<uint16_t>(bitrate));
    return true;
}

bool CTranscodeProgramDlg::StoreElementPid() {
    if (m_elementEntry < 0)
        return true;
    uint32_t v = 0;
    if (!ReadNumbers({{m_elementPid, true, &v}}))
        return false;
    m_record->SetElementOutputPid(m_elementEntry, static_cast<uint16_t>(v));
    return true;
}

void CTranscodeProgramDlg::OnElementChanged(int row) {
    if (!StoreElementPid()) {
        m_element->setCurrentIndex(m_elementEntry);
        return;
    }
    m_elementEntry = row;
    if (row < 0)
        return;
    m_elementPid->setText(QString::number(m_record->ElementOutputPid(row), 16));
    ShowAudioFor(row, row == m_record->AudioElementIndex());
}

void CTranscodeProgramDlg::OnAudioModeChanged(int row) {
    if (m_audioIndex < 0 || row < 0)
        return;
    m_audioBitrateLabel->hide();
    m_audioBitrate->hide();
    const int mode = m_audioType == 0x03 ? row : (row == 0 ? 0 : 1);
    m_record->SetAudioMode(static_cast<uint8_t>(mode));
    if (m_audioType == 0x03 && row == 2)
        ShowAudioBitrate();
    m_record->SetAudioElementIndex(static_cast<uint8_t>(m_audioIndex));
    m_audioElement->setCurrentIndex(m_audioIndex);
}

void CTranscodeProgramDlg::OnAudioBitrateChanged(int row) {
    if (row >= 0 && row < 10)
        m_record->SetAudioBitrate(static_cast<uint16_t>(kAudioBitrates[row]));
}

void CTranscodeProgramDlg::OnVideoModeChanged(int row) {
    struct Choice {
        uint8_t mode;
        uint16_t width, height;
    };
    static const Choice kMpeg2[] = {{3, 720, 576}, {4, 720, 480}, {5, 0, 0}};
    static const Choice kH264[] = {{0, 0, 0}, {1, 720, 576}, {2, 720, 480}};
    if (row < 0 || row > 2 || (m_videoType != 0x02 && m_videoType != 0x1B))
        return;
    const Choice& c = m_videoType == 0x02 ? kMpeg2[row] : kH264[row];
    m_record->SetWidth(c.width);
    m_record->SetHeight(c.height);
    ShowSize();
    SetProfileLevelVisible(!MpegTwoOutput(c.mode));
}

void CTranscodeProgramDlg::OnFrameRateChanged(int row) {
    m_record->SetFrameRate(static_cast<uint8_t>(row < 0 ? 0 : row));
}

}  // namespace nms
