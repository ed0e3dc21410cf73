// "Transcode Setting": edits one TranscodeProgramRecord of the transcoding multiplexer in place. The dialog
// writes audio settings, picture size and frame rate into the record as the operator changes them and the
// rest on OK; the caller sends the record only when DoModal() returns 1 (OK).
#pragma once

#include "pages/mux/program_dlg_base.h"
#include "pages/mux/program_record.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace nms {

class CTranscodeProgramDlg : public CProgramDlgBase {
    Q_OBJECT
public:
    CTranscodeProgramDlg(TranscodeProgramRecord* record, QWidget* parent = nullptr);

    bool DoDataExchange(bool collect) override;

    // The operator's changes (the combos' activated signals).
    void OnElementChanged(int row);
    void OnAudioModeChanged(int row);
    void OnAudioBitrateChanged(int row);
    void OnVideoModeChanged(int row);
    void OnFrameRateChanged(int row);

    QLineEdit* ElementPidEdit() const { return m_elementPid; }
    QLineEdit* BitrateEdit() const { return m_bitrate; }
    QLineEdit* WidthEdit() const { return m_width; }
    QLineEdit* HeightEdit() const { return m_height; }
    QLineEdit* KeyEdit() const { return m_key; }
    QComboBox* ElementCombo() const { return m_element; }
    QComboBox* VideoCombo() const { return m_video; }
    QComboBox* ProfileCombo() const { return m_profile; }
    QComboBox* LevelCombo() const { return m_level; }
    QComboBox* RateControlCombo() const { return m_rateControl; }
    QComboBox* AudioElementCombo() const { return m_audioElement; }
    QComboBox* AudioModeCombo() const { return m_audioMode; }
    QComboBox* AudioBitrateCombo() const { return m_audioBitrate; }
    QComboBox* FrameRateCombo() const { return m_fps; }
    QComboBox* ChannelCombo() const { return m_channel; }

    // The audio bitrates of "MPEG1 to MPEG1", in kbit/s, by combo entry.
    static const int kAudioBitrates[10];

private:
    void ShowAudioFor(int element, bool fromRecord);
    void ShowAudioBitrate();
    void SetProfileLevelVisible(bool visible);
    void ShowSize();
    bool StoreElementPid();

    TranscodeProgramRecord* m_record;
    uint8_t m_videoType = 0;  // 0x02 or 0x1B of the first video element, 0 without one
    uint8_t m_audioType = 0;  // of the audio element being edited, 0 when none
    int m_audioIndex = -1;
    int m_elementEntry = -1;

    QLineEdit* m_elementPid;
    QLineEdit* m_bitrate;
    QLineEdit* m_width;
    QLineEdit* m_height;
    QLineEdit* m_key;
    QComboBox* m_element;
    QComboBox* m_video;
    QComboBox* m_profile;
    QComboBox* m_level;
    QComboBox* m_rateControl;
    QComboBox* m_audioElement;
    QComboBox* m_audioMode;
    QComboBox* m_audioBitrate;
    QComboBox* m_fps;
    QComboBox* m_channel;
    QLabel* m_profileLabel;
    QLabel* m_levelLabel;
    QLabel* m_audioModeLabel;
    QLabel* m_audioBitrateLabel;
};

}  // namespace nms
