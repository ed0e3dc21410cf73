#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "page_fixture.h"
#include "pages/mux/edit_program_dlg.h"
#include "pages/mux/program_info_dlg.h"
#include "pages/mux/transcode_program_dlg.h"
#include "platform/prompt.h"

namespace nms {
namespace mux_dialogs_test {

struct DialogTest : ::testing::Test {
    DialogTest() { test::EnsureApplication(); }
    ScriptedPrompt prompt;
    ScopedPrompt scoped{&prompt};
};

EditProgramFields SampleFields() {
    EditProgramFields f;
    f.name = "NEWS";
    f.serviceId = "100";
    f.pmtPid = "100";
    f.pcrPid = "101";
    f.caSystemIds[0] = 0xB00;
    f.ecmPids[0] = 0x300;
    f.caSystemIds[19] = 0x4AE1;  // the twentieth entry of the scrambling pages
    f.ecmPids[19] = 0x313;
    f.elementPids[0] = 0x200;
    f.elementLabels[0] = "02 MPEG-2 Video";
    f.elementPids[2] = 0x202;  // element 2 missing: a gap
    f.elementLabels[2] = "03 MPEG-1 Audio";
    return f;
}

using CEditProgramDlgTest = DialogTest;

TEST_F(CEditProgramDlgTest, FillsCombosAndStoresEditsOnSelectionChange) {
    CEditProgramDlg dlg;
    dlg.m_fields = SampleFields();
    dlg.DoDataExchange(false);
    EXPECT_EQ(dlg.windowTitle(), "Edit");
    ASSERT_EQ(dlg.CaCombo()->count(), 2);
    EXPECT_EQ(dlg.CaCombo()->itemText(0), "b00");
    EXPECT_EQ(dlg.CaCombo()->itemText(1), "4ae1");
    EXPECT_EQ(dlg.EcmEdit()->text(), "300");
    ASSERT_EQ(dlg.ElementCombo()->count(), 2);
    EXPECT_EQ(dlg.ElementCombo()->itemText(1), "3:03 MPEG-1 Audio");
    EXPECT_EQ(dlg.ElementPidEdit()->text(), "200");
    EXPECT_TRUE(dlg.IpOutputCombo()->isHidden());

    dlg.EcmEdit()->setText("1ab");
    dlg.CaCombo()->setCurrentIndex(1);
    dlg.OnCaChanged(1);
    EXPECT_EQ(dlg.EcmEdit()->text(), "313");
    dlg.ElementPidEdit()->setText("0x12");  // not hexadecimal digits: refused, selection kept
    dlg.ElementCombo()->setCurrentIndex(1);
    dlg.OnElementChanged(1);
    EXPECT_EQ(dlg.ElementCombo()->currentIndex(), 0);
    ASSERT_EQ(prompt.shown.size(), 1u);
    dlg.ElementPidEdit()->setText("1ff");
    dlg.ElementCombo()->setCurrentIndex(1);
    dlg.OnElementChanged(1);
    dlg.ElementPidEdit()->setText("2fe");
    ASSERT_TRUE(dlg.OnOK());
    EXPECT_EQ(dlg.m_fields.ecmPids[0], 0x1AB);
    EXPECT_EQ(dlg.m_fields.elementPids[0], 0x1FF);
    EXPECT_EQ(dlg.m_fields.elementPids[2], 0x2FE);
    EXPECT_EQ(dlg.m_fields.elementPids[1], kNoElement);
    EXPECT_EQ(dlg.m_fields.name, "NEWS");
}

TEST_F(CEditProgramDlgTest, NameOf31IsAcceptedAnd32Refused) {
    CEditProgramDlg dlg;
    dlg.m_fields = SampleFields();
    dlg.DoDataExchange(false);
    dlg.NameEdit()->setText(QString(31, 'N'));
    EXPECT_TRUE(dlg.OnOK());
    dlg.NameEdit()->setText(QString(32, 'N'));
    EXPECT_FALSE(dlg.OnOK());
    EXPECT_EQ(prompt.shown.back().text, "Program name's length should not be more than 32 charactors.");
    EXPECT_EQ(dlg.m_fields.name, std::string(31, 'N'));
}

TEST_F(CEditProgramDlgTest, NumbersThatDoNotFitAreRefusedFieldByField) {
    struct Case {
        QLineEdit* (CEditProgramDlg::*edit)() const;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {&CEditProgramDlg::ServiceIdEdit, "65536", "Please enter an integer between 0 and 65535."},
        {&CEditProgramDlg::ServiceIdEdit, "", "Please enter an integer."},
        {&CEditProgramDlg::PmtEdit, "12345", "Please enter an integer between 0 and FFFF."},
        {&CEditProgramDlg::PcrEdit, "xyz", "Please enter an integer between 0 and FFFF."},
        {&CEditProgramDlg::EcmEdit, "10000", "Please enter an integer between 0 and FFFF."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CEditProgramDlg dlg;
        dlg.m_fields = SampleFields();
        dlg.DoDataExchange(false);
        (dlg.*c.edit)()->setText(c.text);
        EXPECT_FALSE(dlg.OnOK());
        EXPECT_EQ(prompt.shown.back().text, c.message);
        EXPECT_EQ(dlg.m_fields.serviceId, "100");
    }
}

TEST_F(CEditProgramDlgTest, NoCaEntriesLeaveEcmPidsAlone) {
    CEditProgramDlg dlg;
    dlg.m_fields = SampleFields();
    dlg.m_fields.caSystemIds = {};
    dlg.DoDataExchange(false);
    EXPECT_EQ(dlg.CaCombo()->count(), 0);
    EXPECT_TRUE(dlg.EcmEdit()->text().isEmpty());
    ASSERT_TRUE(dlg.OnOK());
    EXPECT_EQ(dlg.m_fields.ecmPids[0], 0x300);
}

TEST_F(CEditProgramDlgTest, IpOutputIndexList) {
    struct Case {
        uint8_t mode, index;
        int entries, selected;
    };
    const Case cases[] = {{2, 5, 65, 5}, {0, 128, 129, 128}, {2, 100, 65, -1}, {1, 0, 129, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        CEditProgramDlg dlg;
        dlg.m_fields = SampleFields();
        dlg.m_fields.ipOutputFlag = 1;
        dlg.m_fields.ipOutputMode = c.mode;
        dlg.m_fields.ipOutputIndex = c.index;
        dlg.DoDataExchange(false);
        EXPECT_FALSE(dlg.IpOutputCombo()->isHidden());
        EXPECT_FALSE(dlg.IpOutputLabel()->isHidden());
        EXPECT_EQ(dlg.IpOutputCombo()->count(), c.entries);
        EXPECT_EQ(dlg.IpOutputCombo()->currentIndex(), c.selected);
        EXPECT_EQ(dlg.IpOutputCombo()->itemText(0), "Disable");
        EXPECT_EQ(dlg.IpOutputCombo()->itemText(1), "1-SPTS");
        ASSERT_TRUE(dlg.OnOK());
        EXPECT_EQ(dlg.m_fields.ipOutputIndex, c.index);  // no selection: unchanged
    }
}

using CProgramInfoDlgTest = DialogTest;

ProgramInfoFields SampleInfo() {
    ProgramInfoFields f;
    const char name[] = "Movie";
    std::copy(name, name + 5, f.name.begin());
    f.elementCount = 2;
    f.serviceId = 0x10005;
    f.pmtPid = 0x100;
    f.pcrPid = 0x101;
    f.elementPids[0] = 0x200;
    f.streamTypes[0] = 0x1B;
    f.elementPids[1] = 0x201;
    f.streamTypes[1] = 0x0F;
    f.ecmPids = {0x300, 0x301, 0x302, 0x303};
    f.caSystemIds = {0x4AE1, 0xB00, 0, 0x1234};
    return f;
}

TEST_F(CProgramInfoDlgTest, FillAndTakeBack) {
    CProgramInfoDlg dlg;
    dlg.m_info = SampleInfo();
    dlg.m_info.ciField = 0x81;
    dlg.DoDataExchange(false);
    EXPECT_EQ(dlg.NameEdit()->text(), "Movie");
    EXPECT_EQ(dlg.ServiceIdEdit()->text(), "5");
    EXPECT_EQ(dlg.PmtEdit()->text(), "0100");
    ASSERT_EQ(dlg.ElementCombo()->count(), 2);
    EXPECT_EQ(dlg.ElementCombo()->itemText(0), "1B MPEG-4/H.264 Video");
    EXPECT_EQ(dlg.ElementPidEdit()->text(), "0200");
    ASSERT_EQ(dlg.CasCombo()->count(), 4);
    EXPECT_EQ(dlg.CasCombo()->itemText(0), "4AE1");
    EXPECT_EQ(dlg.EcmEdit()->text(), "0300");
    EXPECT_FALSE(dlg.CiCombo()->isHidden());
    EXPECT_EQ(dlg.CiCombo()->currentIndex(), 1);

    dlg.ElementPidEdit()->setText("2aa");
    dlg.ElementCombo()->setCurrentIndex(1);
    dlg.OnElementChanged(1);
    EXPECT_EQ(dlg.ElementPidEdit()->text(), "201");
    dlg.CiCombo()->setCurrentIndex(0);
    dlg.EcmEdit()->setText("1ff");
    ASSERT_TRUE(dlg.OnOK());
    EXPECT_EQ(dlg.m_info.elementPids[0], 0x2AA);
    EXPECT_EQ(dlg.m_info.ecmPids[0], 0x1FF);
    EXPECT_EQ(dlg.m_info.serviceId, 5u);
    EXPECT_EQ(dlg.m_info.ciField, 0x80u);
    EXPECT_EQ(dlg.m_info.elementCount, 2);
}

TEST_F(CProgramInfoDlgTest, CasLabelsAndNoElements) {
    CProgramInfoDlg dlg;
    dlg.m_info = SampleInfo();
    dlg.m_info.casLabelFlag = 1;
    dlg.m_info.elementCount = 0;
    dlg.DoDataExchange(false);
    EXPECT_EQ(dlg.CasCombo()->itemText(3), "CAS 4");
    EXPECT_EQ(dlg.ElementCombo()->count(), 0);
    EXPECT_TRUE(dlg.CiCombo()->isHidden());
    ASSERT_TRUE(dlg.OnOK());
    EXPECT_EQ(dlg.m_info.elementCount, 0);
    EXPECT_EQ(dlg.m_info.ciField, 0u);
}

TEST_F(CProgramInfoDlgTest, RussianNameKeepsRoomForPrefixAndZero) {
    CProgramInfoDlg dlg;
    dlg.m_info = SampleInfo();
    dlg.m_languageFlag = 1;
    dlg.DoDataExchange(false);
    dlg.NameEdit()->setText(QString(31, 'R'));
    EXPECT_FALSE(dlg.OnOK());
    EXPECT_EQ(prompt.shown.back().text, "Program name's length should not be more than 32 charactors.");
    dlg.NameEdit()->setText(QString(30, 'R'));
    ASSERT_TRUE(dlg.OnOK());
    EXPECT_EQ(dlg.m_info.name[0], 0x01);
    EXPECT_EQ(dlg.m_info.name[30], 'R');
    EXPECT_EQ(dlg.m_info.name[31], 0);
    EXPECT_EQ(dlg.m_languageFlag, 1);
}

using CTranscodeProgramDlgTest = DialogTest;

TranscodeProgramRecord SampleTranscode(uint8_t video, uint8_t audio) {
    TranscodeProgramRecord r;
    WriteFixedName(&r.bytes[33], 32, "HD-1");
    r.bytes[77] = 3;
    r.bytes[78] = video;
    r.bytes[83] = audio;
    r.bytes[88] = 0x06;
    for (int i = 0; i < 3; ++i)
        r.SetElementOutputPid(i, 0x100 + i);
    r.SetVideoMode(video == 0x1B ? 0 : 3);
    r.SetAudioElementIndex(1);
    r.SetAudioMode(2);
    r.SetAudioBitrate(200);
    r.SetChannel(3);
    r.SetVideoBitrate(3000);
    return r;
}

TEST_F(CTranscodeProgramDlgTest, OpensWithTheRecordsChoices) {
    TranscodeProgramRecord r = SampleTranscode(0x1B, 0x03);
    CTranscodeProgramDlg dlg(&r);
    dlg.DoDataExchange(false);
    EXPECT_EQ(dlg.windowTitle(), "Transcode Setting");
    ASSERT_EQ(dlg.ElementCombo()->count(), 3);
    EXPECT_EQ(dlg.ElementCombo()->itemText(0), "0:1B H.264 Video");
    EXPECT_EQ(dlg.VideoCombo()->count(), 3);
    EXPECT_EQ(dlg.VideoCombo()->currentText(), "H.264-to-H.264");
    EXPECT_FALSE(dlg.ProfileCombo()->isHidden());
    EXPECT_EQ(dlg.AudioElementCombo()->currentIndex(), 1);
    EXPECT_FALSE(dlg.AudioElementCombo()->isEnabled());
    EXPECT_TRUE(dlg.AudioModeCombo()->isHidden());
    EXPECT_EQ(dlg.ChannelCombo()->currentText(), "3");
    EXPECT_EQ(dlg.WidthEdit()->text(), "Same as input");

    // The audio element shows its list with the record's mode, and the bitrate list picks "192kbps" for a
    // bitrate it does not hold.
    dlg.ElementCombo()->setCurrentIndex(1);
    dlg.OnElementChanged(1);
    EXPECT_FALSE(dlg.AudioModeCombo()->isHidden());
    EXPECT_EQ(dlg.AudioModeCombo()->currentText(), "MPEG1 to MPEG1");
    EXPECT_FALSE(dlg.AudioBitrateCombo()->isHidden());
    EXPECT_EQ(dlg.AudioBitrateCombo()->currentText(), "192kbps");
    dlg.OnAudioBitrateChanged(9);
    EXPECT_EQ(r.AudioBitrate(), 384);
    dlg.OnAudioModeChanged(1);
    EXPECT_EQ(r.AudioMode(), 1);
    EXPECT_TRUE(dlg.AudioBitrateCombo()->isHidden());
    // An AC3 element offers two entries and is not the record's audio element: entry 1.
    dlg.ElementCombo()->setCurrentIndex(2);
    dlg.OnElementChanged(2);
    EXPECT_EQ(dlg.AudioModeCombo()->count(), 2);
    EXPECT_EQ(dlg.AudioModeCombo()->currentText(), "AC3 to pass");
    dlg.OnAudioModeChanged(0);
    EXPECT_EQ(r.AudioElementIndex(), 2);
    EXPECT_EQ(r.AudioMode(), 0);
    // The video element hides the audio choices again.
    dlg.ElementCombo()->setCurrentIndex(0);
    dlg.OnElementChanged(0);
    EXPECT_TRUE(dlg.AudioModeCombo()->isHidden());
}

TEST_F(CTranscodeProgramDlgTest, H264ToMpeg2NtscSetsSizeAndHidesProfile) {
    TranscodeProgramRecord r = SampleTranscode(0x1B, 0x03);
    CTranscodeProgramDlg dlg(&r);
    dlg.DoDataExchange(false);
    dlg.VideoCombo()->setCurrentIndex(2);
    dlg.OnVideoModeChanged(2);
    EXPECT_EQ(r.Width(), 720);
    EXPECT_EQ(r.Height(), 480);
    EXPECT_EQ(dlg.WidthEdit()->text(), "720");
    EXPECT_TRUE(dlg.ProfileCombo()->isHidden());
    EXPECT_TRUE(dlg.LevelCombo()->isHidden());
    dlg.ServiceIdEdit()->setText("77");
    dlg.ElementPidEdit()->setText("1ab");
    ASSERT_TRUE(dlg.OnOK());
    EXPECT_EQ(r.VideoMode(), 2);
    EXPECT_EQ(r.OutputServiceId(), 77);
    EXPECT_EQ(r.ElementOutputPid(0), 0x1AB);
    EXPECT_EQ(r.Channel(), 3);
}

TEST_F(CTranscodeProgramDlgTest, NoVideoElementLeavesVideoSettings) {
    TranscodeProgramRecord r = SampleTranscode(0x04, 0x03);
    r.SetVideoMode(4);
    r.SetProfile(1);
    r.SetLevel(5);
    const TranscodeProgramRecord before = r;
    CTranscodeProgramDlg dlg(&r);
    dlg.DoDataExchange(false);
    EXPECT_EQ(dlg.VideoCombo()->count(), 0);
    ASSERT_TRUE(dlg.OnOK());
    EXPECT_EQ(r.VideoMode(), 4);
    EXPECT_EQ(r.Profile(), 1);
    EXPECT_EQ(r.Level(), 5);
    // Nothing else changed either: an untouched OK writes the record back as it was.
    EXPECT_EQ(r.bytes, before.bytes);
}

TEST_F(CTranscodeProgramDlgTest, BitrateThatDoesNotFitIsRefused) {
    TranscodeProgramRecord r = SampleTranscode(0x02, 0x03);
    CTranscodeProgramDlg dlg(&r);
    dlg.DoDataExchange(false);
    dlg.BitrateEdit()->setText("70000");
    EXPECT_FALSE(dlg.OnOK());
    EXPECT_EQ(prompt.shown.back().text, "Please enter an integer between 0 and 65535.");
    EXPECT_EQ(r.VideoBitrate(), 3000);
}

}  // namespace mux_dialogs_test
}  // namespace nms
