#include "devices/device_type_catalogue.h"

#include <algorithm>
#include <iterator>

namespace nms {
namespace {

constexpr uint32_t kTreeIcon = 207;

template <size_t N>
constexpr int Count(const DevicePageInfo (&)[N]) {
    return static_cast<int>(N);
}

// clang-format off
// row 0
constexpr DevicePageInfo kPages0[] = {
    {"Video", "CEncoderVideoView", 0},
    {"Audio", "CEncoderAudioView", 0},
    {"System", "CEncoderSystemView", 0},
    {"TS over IP", "CEncoderIPOutView", 1},
};
// row 1
constexpr DevicePageInfo kPages1[] = {
    {"Output", "CEncoderPublicView", 2},
    {"Video", "CEncoderVideoView", 2},
    {"Audio", "CEncoderAudioView", 2},
    {"System", "CEncoderSystemView", 2},
    {"ASI", "CEncoderASIView", 2},
    {"Edit NIT", "CMuxNitEditView", 0},
    {"TS over IP", "CEncoderIPOutView", 2},
};
// row 2
constexpr DevicePageInfo kPages2[] = {
    {"Output", "CEncoderPublicView", 82},
    {"Video/Audio", "Cencoder8", 82},
    {"ASI", "CEncoderASIView", 82},
    {"PID Passthrough", "CMuxPidForwardView", 82},
    {"Edit NIT", "CMuxNitEditView", 0},
    {"TS over IP", "CEncoderIPOutView", 82},
};
// row 3
constexpr DevicePageInfo kPages3[] = {
    {"Output", "CEncoderPublicView", 80},
    {"Video/Audio", "Cmagnum", 0},
    {"TS over IP", "CEncoderIPOutView", 2},
};
// row 4
constexpr DevicePageInfo kPages4[] = {
    {"Output", "CEncoderPublicView", 81},
    {"Video/Audio", "Cmagnum", 81},
    {"Edit NIT", "CMuxNitEditView", 0},
    {"TS over IP", "CEncoderIPOutView", 81},
};
// row 5
constexpr DevicePageInfo kPages5[] = {
    {"Output", "CEncoderPublicView", 87},
    {"Video/Audio", "Cencoder8", 87},
    {"ASI", "CEncoderASIView", 82},
    {"PID Passthrough", "CMuxPidForwardView", 82},
    {"Edit NIT", "CMuxNitEditView", 0},
    {"TS over IP", "CEncoderIPOutView", 87},
};
// row 6
constexpr DevicePageInfo kPages6[] = {
    {"Video/Audio", "CencoderHDav", 0},
    {"System", "CencoderHDsystems", 0},
    {"TS over IP", "CEncoderIPOutView", 1},
    {"PID Passthrough", "CMuxPidForwardView", 82},
};
// row 7
constexpr DevicePageInfo kPages7[] = {
    {"Output", "CEncoderPublicView", 2},
    {"Video/Audio", "encoderHD4in1_av", 0},
    {"ASI", "CEncoderASIView", 82},
    {"PID Passthrough", "CMuxPidForwardView", 82},
    {"Edit NIT", "CMuxNitEditView", 0},
    {"TS over IP", "CEncoderIPOutView", 2},
};
// row 8
constexpr DevicePageInfo kPages8[] = {
    {"Output", "CEncoderPublicView", 82},
    {"Video/Audio", "encoderHD4in1_av", 83},
    {"ASI", "CEncoderASIView", 82},
    {"PID Passthrough", "CMuxPidForwardView", 82},
    {"Edit NIT", "CMuxNitEditView", 0},
    {"TS over IP", "CEncoderIPOutView", 82},
};
// row 9
constexpr DevicePageInfo kPages9[] = {
    {"Output", "CEncoderPublicView", 87},
    {"Video/Audio", "encoderHD4in1_av", 83},
    {"ASI", "CEncoderASIView", 82},
    {"Edit NIT", "CMuxNitEditView", 0},
    {"TS over IP", "CEncoderIPOutView", 87},
};
// row 10
constexpr DevicePageInfo kPages10[] = {
    {"Multiplex", "CMuxChannelView", 86},
    {"Output Set", "CMuxMiscView", 86},
    {"Edit PSI", "CMuxPsiView", 0},
    {"PID Passthrough", "CMuxPidForwardView", 0},
    {"TS over IP", "CEncoderIPOutView", 82},
    {"ASI Monitor", "CMuxMonitorView", 86},
};
// row 11
constexpr DevicePageInfo kPages11[] = {
    {"Modulator", "CQamBaseView", 0},
    {"Edit NIT", "CMuxNitEditView", 4},
    {"PID Passthrough", "CMuxPidForwardView", 64},
    {"PID Filter", "CMuxPidFilterView", 8},
    {"Edit PSI", "CMuxPsiView", 16},
    {"ASI Monitor", "CMuxMonitorView", 32},
    {"Video/Audio", "encoderHD4in1_av", 24},
};
// row 12
constexpr DevicePageInfo kPages12[] = {
    {"Modulator", "CQamBaseView", 0},
    {"Scrambler", "Scrambler_qam", 0},
    {"Edit NIT", "CMuxNitEditView", 0},
    {"PID Passthrough", "CMuxPidForwardView", 64},
    {"PID Filter", "CMuxPidFilterView", 0},
    {"Edit PSI", "CMuxPsiView", 96},
};
// row 13
constexpr DevicePageInfo kPages13[] = {
    {"Multiplex", "CMuxChannelView", 3},
    {"Modulator", "CmuxQAM", 0},
    {"PID Passthrough", "CMuxPidForwardView", 0},
    {"PID Filter", "CMuxPidFilterView", 0},
    {"Edit NIT", "CMuxNitEditView", 0},
    {"Edit PSI", "CMuxPsiView", 0},
    {"ASI Monitor", "CMuxMonitorView", 4},
};
// row 14
constexpr DevicePageInfo kPages14[] = {
    {"Modulator", "Cqam4", 35},
    {"Input Parameter", "CDVBSSystemView", 35},
    {"Signal Monitor", "CDVBSMonitorView", 33},
    {"Multiplex", "Cmuxip", 35},
    {"Scrambler", "Cqam4_sas", 35},
    {"Edit NIT", "CMuxNitEditView", 5},
    {"Edit PSI", "CMuxPsiView", 17},
    {"PID Passthrough", "CMuxPidForwardView1", 33},
    {"TS over IP", "CMultiIPout", 35},
};
// row 15
constexpr DevicePageInfo kPages15[] = {
    {"Modulator", "Cqam4", 0},
};
// row 16
constexpr DevicePageInfo kPages16[] = {
    {"Modulator", "Cqam4", 16},
    {"Scrambler", "Cqam4_sas", 0},
    {"Edit NIT", "CMuxNitEditView", 5},
    {"PID Filter", "CMuxPidFilterView", 15},
    {"PID Passthrough", "CMuxPidForwardView", 66},
};
// row 17
constexpr DevicePageInfo kPages17[] = {
    {"Modulator", "Cqam4", 18},
    {"Multiplex", "Cmuxip", 18},
    {"Scrambler", "Cqam4_sas", 18},
    {"Edit NIT", "CMuxNitEditView", 5},
    {"PID Passthrough", "CMuxPidForwardView1", 18},
    {"Edit PSI", "CMuxPsiView", 17},
};
// row 18
constexpr DevicePageInfo kPages18[] = {
    {"Modulator", "Cqam4", 17},
    {"IP IN", "CMultiIPout", 17},
    {"Multiplex", "Cmuxip", 0},
    {"Scrambler", "Cqam4_sas", 17},
    {"Edit NIT", "CMuxNitEditView", 5},
    {"PID Passthrough", "CMuxPidForwardView1", 17},
    {"Edit PSI", "CMuxPsiView", 17},
};
// row 19
constexpr DevicePageInfo kPages19[] = {
    {"Modulator", "Cqam4", 102},
    {"IP IN", "CMultiIPout", 17},
    {"Multiplex", "Cqam16", 102},
    {"Scrambler", "Cqam4_sas", 102},
    {"Edit NIT", "CMuxNitEditView", 102},
    {"PID Passthrough", "CMuxPidForwardView1", 102},
    {"Edit PSI", "CMuxPsiView", 102},
};
// row 20
constexpr DevicePageInfo kPages20[] = {
    {"Modulator", "Cqam4", 34},
    {"Source setting", "Ctuner2qam", 0},
    {"Edit NIT", "CMuxNitEditView", 5},
};
// row 21
constexpr DevicePageInfo kPages21[] = {
    {"Input Parameter", "CDVBSSystemView", 0},
    {"Signal Monitor", "CDVBSMonitorView", 0},
};
// row 22
constexpr DevicePageInfo kPages22[] = {
    {"Multiplex", "CMuxChannelView", 36},
    {"Signal Monitor", "CDVBSMonitorView", 36},
    {"Input Parameter", "CDVBSSystemView", 36},
    {"Output Set", "CMuxMiscView", 0},
    {"Edit NIT", "CMuxNitEditView", 0},
    {"Edit PSI", "CMuxPsiView", 0},
    {"PID Passthrough", "CMuxPidForwardView", 0},
    {"PID Filter", "CMuxPidFilterView", 0},
    {"ASI Monitor", "CMuxMonitorView", 36},
};
// row 23
constexpr DevicePageInfo kPages23[] = {
    {"Multiplex", "CMuxChannelView", 37},
    {"Signal Monitor", "CDVBSMonitorView", 37},
    {"Input Parameter", "CDVBSSystemView", 37},
    {"Output Set", "CMuxMiscView", 0},
    {"Edit NIT", "CMuxNitEditView", 0},
    {"Edit PSI", "CMuxPsiView", 0},
    {"PID Passthrough", "CMuxPidForwardView", 0},
    {"PID Filter", "CMuxPidFilterView", 0},
    {"ASI Monitor", "CMuxMonitorView", 37},
};
// row 24
constexpr DevicePageInfo kPages24[] = {
    {"Signal Monitor", "CDVBSMonitorView", 39},
    {"Input Parameter", "CDVBSSystemView", 39},
    {"Output Set", "CMuxMiscView", 39},
    {"Multiplex", "Cmuxip", 39},
    {"Edit NIT", "CMuxNitEditView", 39},
    {"Edit PSI", "CMuxPsiView", 39},
    {"PID Passthrough", "CMuxPidForwardView1", 39},
};
// row 25
constexpr DevicePageInfo kPages25[] = {
    {"Signal Monitor", "CDVBS2signalMonitor", 0},
    {"Input Parameter", "Cdvbs2_8xTuner", 0},
    {"TS over IP", "CMultiIPout", 0},
};
// row 26
constexpr DevicePageInfo kPages26[] = {
    {"Signal Monitor", "CDVBSMonitorView", 39},
    {"Input Parameter", "CDVBSSystemView", 39},
    {"Output Set", "CMuxMiscView", 20},
    {"Multiplex", "Cmuxip", 39},
    {"Edit NIT", "CMuxNitEditView", 5},
    {"Edit PSI", "CMuxPsiView", 17},
    {"PID Passthrough", "CMuxPidForwardView1", 39},
    {"TS over IP", "CEncoderIPOutView", 2},
};
// row 27
constexpr DevicePageInfo kPages27[] = {
    {"Signal Monitor", "CDVBS2signalMonitor", 48},
    {"Input Parameter", "Cdvbs2_8xTuner", 0},
    {"Multiplex", "CMuxChannelView", 0},
    {"TS over IP", "CMultiIPout", 0},
};
// row 28
constexpr DevicePageInfo kPages28[] = {
    {"Source setting", "CCAMIRD_INPUT", 64},
    {"Program", "CCAMIRDView", 0},
    {"Decoder", "CIRD_CAM_decoder", 0},
    {"PID Filter", "CMuxPidFilterView", 8},
    {"Edit PSI", "CMuxPsiView", 64},
    {"TS over IP", "CEncoderIPOutView", 82},
};
// row 29
constexpr DevicePageInfo kPages29[] = {
    {"Source setting", "CCAMIRD_INPUT", 0},
    {"Program Setting", "Ccam_ird_mux", 0},
    {"Edit NIT", "CMuxNitEditView", 0},
    {"PID Passthrough", "CMuxPidForwardView", 0},
    {"PID Filter", "CMuxPidFilterView", 0},
    {"Edit PSI", "CMuxPsiView", 65},
    {"TS over IP", "CEncoderIPOutView", 82},
};
// row 30
constexpr DevicePageInfo kPages30[] = {
    {"Signal Monitor", "Ccam4ird_monitors", 0},
    {"Program", "Ccam4ird_decrypt", 0},
    {"TS over IP", "CMultiIPout", 66},
    {"PID Filter", "CMuxPidFilterView", 0},
};
// row 31
constexpr DevicePageInfo kPages31[] = {
    {"Signal Monitor", "Ccam4ird_monitors", 67},
    {"Program", "Cdecoder4", 0},
};
// row 32
constexpr DevicePageInfo kPages32[] = {
    {"Multiplex", "CMuxChannelView", 0},
    {"Output Set", "CMuxMiscView", 0},
    {"Edit NIT", "CMuxNitEditView", 0},
    {"Edit PSI", "CMuxPsiView", 0},
    {"PID Passthrough", "CMuxPidForwardView", 0},
    {"PID Filter", "CMuxPidFilterView", 0},
    {"ASI Monitor", "CMuxMonitorView", 0},
};
// row 33
constexpr DevicePageInfo kPages33[] = {
    {"Multiplex", "CMuxChannelView", 1},
    {"Output Set", "CMuxMiscView", 1},
    {"Edit NIT", "CMuxNitEditView", 1},
    {"PID Passthrough", "CMuxPidForwardView", 1},
    {"PID Filter", "CMuxPidFilterView", 1},
    {"ASI Monitor", "CMuxMonitorView", 1},
};
// row 34
constexpr DevicePageInfo kPages34[] = {
    {"Scrambler", "CScrambleView", 0},
    {"PID Passthrough", "CMuxPidForwardView", 65},
    {"PID Filter", "CMuxPidFilterView", 0},
    {"PID Monitor", "CpidMonitor", 0},
};
// row 35
constexpr DevicePageInfo kPages35[] = {
    {"Output", "Cqam4", 19},
    {"Multiplex", "Cmuxip", 19},
    {"Scrambler", "Cqam4_sas", 19},
    {"Edit NIT", "CMuxNitEditView", 19},
    {"PID Passthrough", "CMuxPidForwardView1", 19},
    {"Edit PSI", "CMuxPsiView", 19},
};
// row 36
constexpr DevicePageInfo kPages36[] = {
    {"IP IN", "CMultiIPout", 17},
    {"Multiplex", "Cmuxip", 0},
    {"Output Set", "CMuxMiscView", 20},
    {"Scrambler", "Cqam4_sas", 17},
    {"Edit NIT", "CMuxNitEditView", 5},
    {"PID Passthrough", "CMuxPidForwardView1", 17},
    {"Edit PSI", "CMuxPsiView", 17},
};
// row 37
constexpr DevicePageInfo kPages37[] = {
    {"Modulator", "CQamBaseView", 100},
};
// row 38
constexpr DevicePageInfo kPages38[] = {
    {"Modulator", "CDVBTView", 97},
    {"ASI Monitor", "CMuxMonitorView", 32},
    {"TS over IP", "CEncoderIPOutView", 97},
};
// row 39
constexpr DevicePageInfo kPages39[] = {
    {"Modulator", "CDVBTView", 0},
    {"Edit NIT", "CMuxNitEditView", 4},
    {"PID Passthrough", "CMuxPidForwardView", 64},
    {"PID Filter", "CMuxPidFilterView", 8},
    {"Edit PSI", "CMuxPsiView", 16},
    {"ASI Monitor", "CMuxMonitorView", 32},
    {"Video/Audio", "encoderHD4in1_av", 24},
    {"TS over IP", "CEncoderIPOutView", 97},
};
// row 40
constexpr DevicePageInfo kPages40[] = {
    {"Modulator", "Cdtmb4", 0},
    {"Multiplex", "Cmuxip", 98},
    {"Scrambler", "Cqam4_sas", 98},
    {"Edit NIT", "CMuxNitEditView", 5},
    {"PID Passthrough", "CMuxPidForwardView1", 18},
    {"Edit PSI", "CMuxPsiView", 17},
};
// row 41
constexpr DevicePageInfo kPages41[] = {
    {"Modulator", "Cdtmb4", 99},
    {"Edit NIT", "CMuxNitEditView", 5},
    {"TS over IP", "CMultiIPout", 35},
};
// row 42
constexpr DevicePageInfo kPages42[] = {
    {"Modulator", "Cdtmb4", 101},
    {"Multiplex", "Cmuxip", 18},
    {"Edit NIT", "CMuxNitEditView", 5},
    {"PID Passthrough", "CMuxPidForwardView1", 18},
    {"Edit PSI", "CMuxPsiView", 17},
};
// row 43
constexpr DevicePageInfo kPages43[] = {
    {"Modulator", "Cdtmb4", 101},
    {"IP IN", "CMultiIPout", 101},
    {"Multiplex", "Cmuxip", 0},
    {"Edit NIT", "CMuxNitEditView", 5},
    {"PID Passthrough", "CMuxPidForwardView1", 17},
    {"Edit PSI", "CMuxPsiView", 17},
};
// row 44
constexpr DevicePageInfo kPages44[] = {
    {"Modulator", "Cdtmb4", 103},
    {"Signal Monitor", "CDVBSMonitorView", 33},
    {"Input Parameter", "CDVBSSystemView", 35},
    {"IP IN", "CMultiIPout", 101},
    {"Multiplex", "Cmuxip", 35},
    {"Edit NIT", "CMuxNitEditView", 5},
    {"PID Passthrough", "CMuxPidForwardView1", 18},
    {"Edit PSI", "CMuxPsiView", 17},
};
// row 45
constexpr DevicePageInfo kPages45[] = {
    {"Modulator", "CDVBTView", 25},
    {"Edit NIT", "CMuxNitEditView", 4},
    {"PID Passthrough", "CMuxPidForwardView", 64},
    {"PID Filter", "CMuxPidFilterView", 8},
    {"Edit PSI", "CMuxPsiView", 16},
    {"ASI Monitor", "CMuxMonitorView", 32},
};
// row 46
constexpr DevicePageInfo kPages46[] = {
    {"Modulator", "Cdtmb4", 99},
    {"Source setting", "Ctuner2qam", 99},
};
// row 47
constexpr DevicePageInfo kPages47[] = {
    {"Modulator", "CDVBTView", 24},
    {"TS over IP", "CEncoderIPOutView", 97},
    {"Edit NIT", "CMuxNitEditView", 4},
    {"PID Passthrough", "CMuxPidForwardView", 64},
    {"PID Filter", "CMuxPidFilterView", 8},
    {"Edit PSI", "CMuxPsiView", 16},
    {"ASI Monitor", "CMuxMonitorView", 32},
    {"Video/Audio", "encoderHD4in1_av", 24},
};
// row 48
constexpr DevicePageInfo kPages48[] = {
    {"Modulator", "Cqam4", 38},
    {"Input Parameter", "CDVBSSystemView", 35},
    {"Signal Monitor", "CDVBSMonitorView", 33},
    {"Multiplex", "Cmuxip", 38},
    {"Edit NIT", "CMuxNitEditView", 5},
    {"Edit PSI", "CMuxPsiView", 38},
    {"PID Passthrough", "CMuxPidForwardView1", 38},
    {"TS over IP", "CMultiIPout", 35},
};
// row 49
constexpr DevicePageInfo kPages49[] = {
    {"Output", "CEncoderPublicView", 24},
    {"Video/Audio", "Cencoder8", 84},
    {"Edit NIT", "CMuxNitEditView", 0},
};
// row 50
constexpr DevicePageInfo kPages50[] = {
    {"Output", "CEncoderPublicView", 85},
    {"Video/Audio", "Cencoder8", 82},
    {"Scrambler", "Cqam4_sas", 98},
    {"Edit NIT", "CMuxNitEditView", 5},
    {"Edit PSI", "CMuxPsiView", 17},
    {"PID Passthrough", "CMuxPidForwardView1", 82},
    {"TS over IP", "CEncoderIPOutView", 85},
};
// row 51
constexpr DevicePageInfo kPages51[] = {
    {"Output", "CEncoderPublicView", 24},
    {"Video/Audio", "encoderHD4in1_av", 0},
    {"Edit NIT", "CMuxNitEditView", 0},
};
// row 52
constexpr DevicePageInfo kPages52[] = {
    {"Output", "CEncoderPublicView", 89},
    {"Video/Audio", "encoderHD4in1_av", 83},
    {"Edit NIT", "CMuxNitEditView", 39},
};
// row 53
constexpr DevicePageInfo kPages53[] = {
    {"Output", "CEncoderPublicView", 88},
    {"Video/Audio", "Cencoder8", 88},
    {"Edit NIT", "CMuxNitEditView", 0},
    {"Scrambler", "Cqam4_sas", 88},
};
// row 54
constexpr DevicePageInfo kPages54[] = {
    {"Signal Monitor", "CDVBS2signalMonitor", 49},
    {"Multiplex", "CMuxChannelView", 0},
    {"TS over IP", "CMultiIPout", 0},
};

constexpr DeviceTypeInfo kDeviceTypeTable[] = {
    {"SD 1CH MPEG2/4 Encoder", 0x1101, nullptr, kTreeIcon, kPages0, Count(kPages0)},
    {"SD 4CH MPEG2/4 Encoder", 0x1102, nullptr, kTreeIcon, kPages1, Count(kPages1)},
    {"SD 4/8CH MPEG2 Encoder", 0x1808, nullptr, kTreeIcon, kPages2, Count(kPages2)},
    {"SD 4CH MPEG2/4 Encoder(Magnum)", 0x1301, nullptr, kTreeIcon, kPages3, Count(kPages3)},
    {"SD 8CH MPEG2/4 Encoder(Magnum)", 0x1302, nullptr, kTreeIcon, kPages4, Count(kPages4)},
    {"SD 8/16CH MPEG2/4 Encoder(M28)", 0x1303, nullptr, kTreeIcon, kPages5, Count(kPages5)},
    {"HD 1CH MPEG4 Encoder", 0x1105, nullptr, kTreeIcon, kPages6, Count(kPages6)},
    {"HD 4CH MPEG4 Encoder", 0x1115, nullptr, kTreeIcon, kPages7, Count(kPages7)},
    {"HD 8CH MPEG4 Encoder", 0x1815, nullptr, kTreeIcon, kPages8, Count(kPages8)},
    {"HD 12CH MPEG4 Encoder", 0x1855, nullptr, kTreeIcon, kPages9, Count(kPages9)},
    {"8in1 SD/HD ASI Transcoder", 0x1401, nullptr, kTreeIcon, kPages10, Count(kPages10)},
    {"ASI QAM Modulator", 0x4101, nullptr, kTreeIcon, kPages11, Count(kPages11)},
    {"ASI QAM Modulator(Scrambler)", 0x3102, nullptr, kTreeIcon, kPages12, Count(kPages12)},
    {"ASI QAM Modulator(Multiplexer)", 0x4111, nullptr, kTreeIcon, kPages13, Count(kPages13)},
    {"4in1 QAM Mod.(6/8*DVBS/S2+1/4/6*ASI)", 0x4125, nullptr, kTreeIcon, kPages14, Count(kPages14)},
    {"4in1 QAM Modulator(4*ASI)", 0x4104, nullptr, kTreeIcon, kPages15, Count(kPages15)},
    {"4in1 SAS QAM Modulator(4*ASI)", 0x4144, nullptr, kTreeIcon, kPages16, Count(kPages16)},
    {"4in1 SAS-MUX QAM Modulator(5/8*ASI)", 0x4164, nullptr, kTreeIcon, kPages17, Count(kPages17)},
    {"4in1 IP QAM Modulator", 0x4154, nullptr, kTreeIcon, kPages18, Count(kPages18)},
    {"4/8/12/16CH IP QAM Modulator", 0x4153, nullptr, kTreeIcon, kPages19, Count(kPages19)},
    {"4in1 QAM to QAM Modulator", 0x4114, nullptr, kTreeIcon, kPages20, Count(kPages20)},
    {" 4CH DVB-S/S2 ASI IRD", 0x5103, nullptr, kTreeIcon, kPages21, Count(kPages21)},
    {" 6CH DVB-S/S2 ASI IRD(Multiplexer)", 0x2103, nullptr, kTreeIcon, kPages22, Count(kPages22)},
    {" 8CH DVB-S/S2 ASI IRD(Multiplexer)", 0x2133, nullptr, kTreeIcon, kPages23, Count(kPages23)},
    {"16CH DVB-S/S2 ASI IRD(Multiplexer)", 0x2143, nullptr, kTreeIcon, kPages24, Count(kPages24)},
    {"8/16CH DVBS/S2/C/T/T2 IP Gateway(MPTS)", 0x2105, nullptr, kTreeIcon, kPages25, Count(kPages25)},
    {"8/16CH DVBS/S2/C/T/T2 IP Gateway(MPTS&Mux)", 0x2125, nullptr, kTreeIcon, kPages26, Count(kPages26)},
    {"8/16CH DVBS/S2/C/T/T2 IP Gateway(SPTS)", 0x2115, nullptr, kTreeIcon, kPages27, Count(kPages27)},
    {" 1CH DVB-S/S2/C/T/T2/DTMB CI IRD", 0x5106, nullptr, kTreeIcon, kPages28, Count(kPages28)},
    {" 1CH DVB-S/S2/C/T/T2/DTMB CI IRD(Multiplexer)", 0x5176, nullptr, kTreeIcon, kPages29, Count(kPages29)},
    {" 4CH DVB-S/S2/C/T/T2/DTMB CI IRD", 0x5217, nullptr, kTreeIcon, kPages30, Count(kPages30)},
    {"4CH ASI HD Decoder", 0x5304, nullptr, kTreeIcon, kPages31, Count(kPages31)},
    {"ASI Multiplexer(8ASI)", 0x2101, nullptr, kTreeIcon, kPages32, Count(kPages32)},
    {"ASI Multiplexer 2-Out(8ASI)", 0x2102, nullptr, kTreeIcon, kPages33, Count(kPages33)},
    {"ASI Scrambler", 0x3101, nullptr, kTreeIcon, kPages34, Count(kPages34)},
    {"ASI Scrambler(Multiplex)", 0x3104, nullptr, kTreeIcon, kPages35, Count(kPages35)},
    {"64IP->4ASI Multiplexer(Scrambler)", 0x3105, nullptr, kTreeIcon, kPages36, Count(kPages36)},
    {"QPSK Modulator", 0x4102, nullptr, kTreeIcon, kPages37, Count(kPages37)},
    {"DVB-S/S2 Modulator", 0x4122, nullptr, kTreeIcon, kPages38, Count(kPages38)},
    {"DTMB Modulator", 0x4107, nullptr, kTreeIcon, kPages39, Count(kPages39)},
    {"DTMB SAS-MUX Modulator", 0x4117, nullptr, kTreeIcon, kPages40, Count(kPages40)},
    {"DTMB Modulator(4*ASI)", 0x4157, nullptr, kTreeIcon, kPages41, Count(kPages41)},
    {"DTMB Modulator with Multiplexer(4*ASI)", 0x4147, nullptr, kTreeIcon, kPages42, Count(kPages42)},
    {"DTMB Modulator(64IP)", 0x4127, nullptr, kTreeIcon, kPages43, Count(kPages43)},
    {"DTMB Modulator(8*DVBS2+1*ASI+8*IP)", 0x4187, nullptr, kTreeIcon, kPages44, Count(kPages44)},
    {"DTMB Transmodulator", 0x4109, nullptr, kTreeIcon, kPages45, Count(kPages45)},
    {"4/6C DTMB Transmodulator", 0x4137, nullptr, kTreeIcon, kPages46, Count(kPages46)},
    {"DVB-T/T2 Modulator(ASI)", 0x4106, nullptr, kTreeIcon, kPages47, Count(kPages47)},
    {"3in1 DVB-T Modulator(8*DVBS/S2+1*ASI)", 0x4126, nullptr, kTreeIcon, kPages48, Count(kPages48)},
    {" 4in1 SD MPEG2 Encoder with DVB-C&T&DTMB", 0x4203, nullptr, kTreeIcon, kPages49, Count(kPages49)},
    {" 8in1 SD MPEG2 Encoder with DVB-C&T", 0x4208, nullptr, kTreeIcon, kPages50, Count(kPages50)},
    {" 4in1 HD MPEG4 Encoder with DVB-C&T&DTMB", 0x4202, nullptr, kTreeIcon, kPages51, Count(kPages51)},
    {" 8in1 HD MPEG4 Encoder with DVB-C&T&DTMB", 0x4256, nullptr, kTreeIcon, kPages52, Count(kPages52)},
    {"12in1 SD MPEG2/4 Encoder with DVB-C&T&DTMB", 0x4236, nullptr, kTreeIcon, kPages53, Count(kPages53)},
    {"8*ASI-64*SPTS Gateway", 0x2236, nullptr, kTreeIcon, kPages54, Count(kPages54)},
    {"IP-ASI Gateway", 0x5104, "CIPGateWayView1", kTreeIcon, nullptr, 0},
    {"8*ASI-8*MPTS Gateway", 0x5124, "Casi2ip", kTreeIcon, nullptr, 0},
    {"4 E1-ASI Adapter", 0x5109, "C4e1_asi", kTreeIcon, nullptr, 0},
    {"DS3 Adaptor", 0x5101, "CDS3AdapterView", kTreeIcon, nullptr, 0},
    {"ASI Distributor", 0x7101, "CASIDistributorView", kTreeIcon, nullptr, 0},
    {"STB IR Controler", 0x7201, "CStbKeyCtrl", kTreeIcon, nullptr, 0},
};
// clang-format on

constexpr int kRowCount = static_cast<int>(std::size(kDeviceTypeTable));

}  // namespace

int DeviceTypeCount() {
    return kRowCount;
}

const DeviceTypeInfo& DeviceTypeAt(int row) {
    // Past either end: the empty row that ended the table, so a stray index shows nothing.
    static constexpr DeviceTypeInfo kEndRow{"", 0, nullptr, kTreeIcon, nullptr, 0};
    if (row < 0 || row >= kRowCount)
        return kEndRow;
    return kDeviceTypeTable[row];
}

const DeviceTypeInfo* FindDeviceTypeByCode(uint16_t code, int* row) {
    for (int i = 0; i < kRowCount; ++i) {
        if (kDeviceTypeTable[i].typeCode == code) {
            if (row)
                *row = i;
            return &kDeviceTypeTable[i];
        }
    }
    return nullptr;
}

const DeviceTypeInfo* FindDeviceTypeByName(std::string_view name, int* row) {
    for (int i = 0; i < kRowCount; ++i) {
        if (name == kDeviceTypeTable[i].name) {
            if (row)
                *row = i;
            return &kDeviceTypeTable[i];
        }
    }
    return nullptr;
}

std::vector<std::string> AllPageClassNames() {
    std::vector<std::string> names;
    auto add = [&names](const char* cls) {
        if (std::find(names.begin(), names.end(), cls) == names.end())
            names.emplace_back(cls);
    };
    for (const DeviceTypeInfo& type : kDeviceTypeTable) {
        if (type.singleViewClass)
            add(type.singleViewClass);
        for (int p = 0; p < type.pageCount; ++p)
            add(type.pages[p].pageClass);
    }
    return names;
}

}  // namespace nms
