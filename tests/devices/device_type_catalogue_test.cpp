#include "devices/device_type_catalogue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace nms {
namespace device_type_catalogue_test {

// The device dialog's list, in row order, leading blanks included.
const char* const kGoldenNames[] = {
    "SD 1CH MPEG2/4 Encoder",
    "SD 4CH MPEG2/4 Encoder",
    "SD 4/8CH MPEG2 Encoder",
    "SD 4CH MPEG2/4 Encoder(Magnum)",
    "SD 8CH MPEG2/4 Encoder(Magnum)",
    "SD 8/16CH MPEG2/4 Encoder(M28)",
    "HD 1CH MPEG4 Encoder",
    "HD 4CH MPEG4 Encoder",
    "HD 8CH MPEG4 Encoder",
    "HD 12CH MPEG4 Encoder",
    "8in1 SD/HD ASI Transcoder",
    "ASI QAM Modulator",
    "ASI QAM Modulator(Scrambler)",
    "ASI QAM Modulator(Multiplexer)",
    "4in1 QAM Mod.(6/8*DVBS/S2+1/4/6*ASI)",
    "4in1 QAM Modulator(4*ASI)",
    "4in1 SAS QAM Modulator(4*ASI)",
    "4in1 SAS-MUX QAM Modulator(5/8*ASI)",
    "4in1 IP QAM Modulator",
    "4/8/12/16CH IP QAM Modulator",
    "4in1 QAM to QAM Modulator",
    " 4CH DVB-S/S2 ASI IRD",
    " 6CH DVB-S/S2 ASI IRD(Multiplexer)",
    " 8CH DVB-S/S2 ASI IRD(Multiplexer)",
    "16CH DVB-S/S2 ASI IRD(Multiplexer)",
    "8/16CH DVBS/S2/C/T/T2 IP Gateway(MPTS)",
    "8/16CH DVBS/S2/C/T/T2 IP Gateway(MPTS&Mux)",
    "8/16CH DVBS/S2/C/T/T2 IP Gateway(SPTS)",
    " 1CH DVB-S/S2/C/T/T2/DTMB CI IRD",
    " 1CH DVB-S/S2/C/T/T2/DTMB CI IRD(Multiplexer)",
    " 4CH DVB-S/S2/C/T/T2/DTMB CI IRD",
    "4CH ASI HD Decoder",
    "ASI Multiplexer(8ASI)",
    "ASI Multiplexer 2-Out(8ASI)",
    "ASI Scrambler",
    "ASI Scrambler(Multiplex)",
    "64IP->4ASI Multiplexer(Scrambler)",
    "QPSK Modulator",
    "DVB-S/S2 Modulator",
    "DTMB Modulator",
    "DTMB SAS-MUX Modulator",
    "DTMB Modulator(4*ASI)",
    "DTMB Modulator with Multiplexer(4*ASI)",
    "DTMB Modulator(64IP)",
    "DTMB Modulator(8*DVBS2+1*ASI+8*IP)",
    "DTMB Transmodulator",
    "4/6C DTMB Transmodulator",
    "DVB-T/T2 Modulator(ASI)",
    "3in1 DVB-T Modulator(8*DVBS/S2+1*ASI)",
    " 4in1 SD MPEG2 Encoder with DVB-C&T&DTMB",
    " 8in1 SD MPEG2 Encoder with DVB-C&T",
    " 4in1 HD MPEG4 Encoder with DVB-C&T&DTMB",
    " 8in1 HD MPEG4 Encoder with DVB-C&T&DTMB",
    "12in1 SD MPEG2/4 Encoder with DVB-C&T&DTMB",
    "8*ASI-64*SPTS Gateway",
    "IP-ASI Gateway",
    "8*ASI-8*MPTS Gateway",
    "4 E1-ASI Adapter",
    "DS3 Adaptor",
    "ASI Distributor",
    "STB IR Controler",
};

using Page = std::tuple<std::string, std::string, int>;

std::vector<Page> PagesOf(int row) {
    const DeviceTypeInfo& type = DeviceTypeAt(row);
    std::vector<Page> pages;
    for (int i = 0; i < type.pageCount; ++i)
        pages.emplace_back(type.pages[i].caption, type.pages[i].pageClass, type.pages[i].pageParam);
    return pages;
}

TEST(DeviceTypeCatalogue, NamesInRowOrder) {
    ASSERT_EQ(DeviceTypeCount(), 61);
    ASSERT_EQ(std::size(kGoldenNames), 61u);
    for (int row = 0; row < DeviceTypeCount(); ++row)
        EXPECT_STREQ(DeviceTypeAt(row).name, kGoldenNames[row]) << "row " << row;
}

TEST(DeviceTypeCatalogue, EveryRowIsWellFormed) {
    std::set<uint16_t> codes;
    for (int row = 0; row < DeviceTypeCount(); ++row) {
        const DeviceTypeInfo& type = DeviceTypeAt(row);
        SCOPED_TRACE(type.name);
        EXPECT_TRUE(codes.insert(type.typeCode).second) << "duplicate type code";
        EXPECT_EQ(type.icon, 207u);
        EXPECT_LT(std::string(type.name).size(), 48u);
        // Exactly one of: a single view, or a non-empty page list.
        if (type.singleViewClass) {
            EXPECT_EQ(type.pages, nullptr);
            EXPECT_EQ(type.pageCount, 0);
        } else {
            ASSERT_NE(type.pages, nullptr);
            EXPECT_GT(type.pageCount, 0);
            for (int i = 0; i < type.pageCount; ++i) {
                EXPECT_GT(std::string(type.pages[i].caption).size(), 0u);
                EXPECT_LT(std::string(type.pages[i].caption).size(), 24u);
                EXPECT_NE(type.pages[i].pageClass, nullptr);
            }
        }
    }
}

TEST(DeviceTypeCatalogue, PageListsOfSelectedRows) {
    EXPECT_EQ(PagesOf(0), (std::vector<Page>{{"Video", "CEncoderVideoView", 0},
                                             {"Audio", "CEncoderAudioView", 0},
                                             {"System", "CEncoderSystemView", 0},
                                             {"TS over IP", "CEncoderIPOutView", 1}}));
    EXPECT_EQ(PagesOf(3), (std::vector<Page>{{"Output", "CEncoderPublicView", 80},
                                             {"Video/Audio", "Cmagnum", 0},
                                             {"TS over IP", "CEncoderIPOutView", 2}}));
    EXPECT_EQ(PagesOf(14), (std::vector<Page>{{"Modulator", "Cqam4", 35},
                                              {"Input Parameter", "CDVBSSystemView", 35},
                                              {"Signal Monitor", "CDVBSMonitorView", 33},
                                              {"Multiplex", "Cmuxip", 35},
                                              {"Scrambler", "Cqam4_sas", 35},
                                              {"Edit NIT", "CMuxNitEditView", 5},
                                              {"Edit PSI", "CMuxPsiView", 17},
                                              {"PID Passthrough", "CMuxPidForwardView1", 33},
                                              {"TS over IP", "CMultiIPout", 35}}));
    EXPECT_EQ(PagesOf(15), (std::vector<Page>{{"Modulator", "Cqam4", 0}}));
    EXPECT_EQ(PagesOf(19), (std::vector<Page>{{"Modulator", "Cqam4", 102},
                                              {"IP IN", "CMultiIPout", 17},
                                              {"Multiplex", "Cqam16", 102},
                                              {"Scrambler", "Cqam4_sas", 102},
                                              {"Edit NIT", "CMuxNitEditView", 102},
                                              {"PID Passthrough", "CMuxPidForwardView1", 102},
                                              {"Edit PSI", "CMuxPsiView", 102}}));
    EXPECT_EQ(PagesOf(28), (std::vector<Page>{{"Source setting", "CCAMIRD_INPUT", 64},
                                              {"Program", "CCAMIRDView", 0},
                                              {"Decoder", "CIRD_CAM_decoder", 0},
                                              {"PID Filter", "CMuxPidFilterView", 8},
                                              {"Edit PSI", "CMuxPsiView", 64},
                                              {"TS over IP", "CEncoderIPOutView", 82}}));
    EXPECT_EQ(PagesOf(33), (std::vector<Page>{{"Multiplex", "CMuxChannelView", 1},
                                              {"Output Set", "CMuxMiscView", 1},
                                              {"Edit NIT", "CMuxNitEditView", 1},
                                              {"PID Passthrough", "CMuxPidForwardView", 1},
                                              {"PID Filter", "CMuxPidFilterView", 1},
                                              {"ASI Monitor", "CMuxMonitorView", 1}}));
    EXPECT_EQ(PagesOf(54), (std::vector<Page>{{"Signal Monitor", "CDVBS2signalMonitor", 49},
                                              {"Multiplex", "CMuxChannelView", 0},
                                              {"TS over IP", "CMultiIPout", 0}}));
}

TEST(DeviceTypeCatalogue, SingleViewRows) {
    const std::vector<std::pair<uint16_t, std::string>> expected = {{0x5104, "CIPGateWayView1"},
                                                                    {0x5124, "Casi2ip"},
                                                                    {0x5109, "C4e1_asi"},
                                                                    {0x5101, "CDS3AdapterView"},
                                                                    {0x7101, "CASIDistributorView"},
                                                                    {0x7201, "CStbKeyCtrl"}};
    int singles = 0;
    for (int row = 0; row < DeviceTypeCount(); ++row)
        singles += DeviceTypeAt(row).singleViewClass != nullptr;
    EXPECT_EQ(singles, 6);
    for (size_t i = 0; i < expected.size(); ++i) {
        const DeviceTypeInfo& type = DeviceTypeAt(55 + static_cast<int>(i));
        EXPECT_EQ(type.typeCode, expected[i].first);
        ASSERT_NE(type.singleViewClass, nullptr);
        EXPECT_EQ(type.singleViewClass, expected[i].second);
    }
}

TEST(DeviceTypeCatalogue, OnePageClassServesSeveralVariants) {
    // "Output" is the same class with a different variant number per row.
    const std::vector<std::pair<int, int>> rowsAndParams = {{1, 2}, {2, 82}, {3, 80}};
    for (auto [row, param] : rowsAndParams) {
        const DeviceTypeInfo& type = DeviceTypeAt(row);
        ASSERT_GT(type.pageCount, 0);
        EXPECT_STREQ(type.pages[0].caption, "Output");
        EXPECT_STREQ(type.pages[0].pageClass, "CEncoderPublicView");
        EXPECT_EQ(type.pages[0].pageParam, param);
    }
}

TEST(DeviceTypeCatalogue, LookupByCode) {
    int row = -1;
    const DeviceTypeInfo* type = FindDeviceTypeByCode(0x4104, &row);
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(row, 15);
    EXPECT_STREQ(type->name, "4in1 QAM Modulator(4*ASI)");

    ASSERT_NE(FindDeviceTypeByCode(0x1101, &row), nullptr);
    EXPECT_EQ(row, 0);
    ASSERT_NE(FindDeviceTypeByCode(0x7201, &row), nullptr);
    EXPECT_EQ(row, 60);

    // Codes no row holds: nothing found, the row left as it was.
    for (uint16_t code : {0x4124, 0x0000, 0xFFFF, 0x0411}) {
        row = 99;
        EXPECT_EQ(FindDeviceTypeByCode(code, &row), nullptr) << std::hex << code;
        EXPECT_EQ(row, 99);
    }
    EXPECT_EQ(FindDeviceTypeByCode(0x4124), nullptr);
}

TEST(DeviceTypeCatalogue, LookupByName) {
    int row = -1;
    ASSERT_NE(FindDeviceTypeByName(" 4CH DVB-S/S2 ASI IRD", &row), nullptr);
    EXPECT_EQ(row, 21);
    ASSERT_NE(FindDeviceTypeByName("STB IR Controler", &row), nullptr);
    EXPECT_EQ(row, 60);
    // The leading blank is part of the name; case and trailing text matter too.
    row = 99;
    EXPECT_EQ(FindDeviceTypeByName("4CH DVB-S/S2 ASI IRD", &row), nullptr);
    EXPECT_EQ(FindDeviceTypeByName("asi distributor", &row), nullptr);
    EXPECT_EQ(FindDeviceTypeByName("ASI Distributor ", &row), nullptr);
    EXPECT_EQ(FindDeviceTypeByName("", &row), nullptr);
    EXPECT_EQ(row, 99);
    // Every name finds its own row.
    for (int i = 0; i < DeviceTypeCount(); ++i) {
        EXPECT_EQ(FindDeviceTypeByName(DeviceTypeAt(i).name, &row), &DeviceTypeAt(i));
        EXPECT_EQ(row, i);
    }
}

TEST(DeviceTypeCatalogue, RowOutsideTableIsEmpty) {
    for (int row : {-1, 61, 1000}) {
        const DeviceTypeInfo& type = DeviceTypeAt(row);
        EXPECT_STREQ(type.name, "");
        EXPECT_EQ(type.pageCount, 0);
        EXPECT_EQ(type.pages, nullptr);
        EXPECT_EQ(type.singleViewClass, nullptr);
    }
}

TEST(DeviceTypeCatalogue, AllPageClassNames) {
    const std::vector<std::string> names = AllPageClassNames();
    const std::set<std::string> unique(names.begin(), names.end());
    EXPECT_EQ(unique.size(), names.size());
    const std::set<std::string> expected = {"CEncoderVideoView",
                                            "CEncoderAudioView",
                                            "CEncoderSystemView",
                                            "CEncoderPublicView",
                                            "CEncoderASIView",
                                            "Cencoder8",
                                            "Cmagnum",
                                            "CencoderHDav",
                                            "CencoderHDsystems",
                                            "encoderHD4in1_av",
                                            "CEncoderIPOutView",
                                            "CMuxChannelView",
                                            "Cmuxip",
                                            "Cqam16",
                                            "CMuxMiscView",
                                            "CMuxMonitorView",
                                            "CMuxPidFilterView",
                                            "CMuxPidForwardView",
                                            "CMuxPidForwardView1",
                                            "CpidMonitor",
                                            "CMuxPsiView",
                                            "CMuxNitEditView",
                                            "CQamBaseView",
                                            "CmuxQAM",
                                            "Cqam4",
                                            "Cqam4_sas",
                                            "Scrambler_qam",
                                            "CScrambleView",
                                            "CDVBTView",
                                            "Cdtmb4",
                                            "Ctuner2qam",
                                            "CDVBSSystemView",
                                            "CDVBSMonitorView",
                                            "CDVBS2signalMonitor",
                                            "Cdvbs2_8xTuner",
                                            "CMultiIPout",
                                            "CIPGateWayView1",
                                            "Casi2ip",
                                            "CCAMIRD_INPUT",
                                            "CCAMIRDView",
                                            "CIRD_CAM_decoder",
                                            "Ccam_ird_mux",
                                            "Ccam4ird_monitors",
                                            "Ccam4ird_decrypt",
                                            "Cdecoder4",
                                            "C4e1_asi",
                                            "CDS3AdapterView",
                                            "CASIDistributorView",
                                            "CStbKeyCtrl"};
    EXPECT_EQ(unique, expected);
    // Pages that no row names are not in the catalogue.
    for (const char* absent : {"Cmagnum_cmd4", "Ctranscoder", "Cmuxchannel2"})
        EXPECT_EQ(unique.count(absent), 0u) << absent;
}

}  // namespace device_type_catalogue_test
}  // namespace nms
