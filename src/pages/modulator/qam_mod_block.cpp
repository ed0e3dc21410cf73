#include "pages/modulator/qam_mod_block.h"

#include <cstdio>

namespace nms {

const char* const kFrequencyOverMaximum = "Frequency error,over maximum!";
const char* const kSymbolRateCharacters = "Symbol rate should be '0-9' or '.'";
const char* const kAttCharacters = "ATT value error,should be 0-9 or .";
const char* const kAttStep = "ATT value must be changed with step 0.5.";
const char* const kQpskAttTooHigh = "ATT can not > 20 Db";

namespace {

std::vector<Choice> Indexed(std::initializer_list<const char*> texts) {
    std::vector<Choice> out;
    uint32_t i = 0;
    for (const char* t : texts)
        out.push_back({t, i++});
    return out;
}

}  // namespace

const std::vector<Choice>& EightConstellations() {
    static const auto list =
        Indexed({"QPSK", "16QAM", "32QAM", "64QAM", "128QAM", "256QAM", "512QAM", "1024QAM"});
    return list;
}
const std::vector<Choice>& FiveConstellations() {
    static const auto list = Indexed({"16QAM", "32QAM", "64QAM", "128QAM", "256QAM"});
    return list;
}
const std::vector<Choice>& InputInterfaces() {
    static const auto list =
        Indexed({"ASI", "DS3-1", "DS3-2", "DS3-3", "DS3-4", "DS3-5", "DS3-6", "DS3-7", "DS3-8"});
    return list;
}
const std::vector<Choice>& ConvolutionCodes() {
    static const auto list = Indexed({"1/2", "2/3", "3/4", "5/6", "7/8"});
    return list;
}

FieldDef QamFrequencyField(int base) {
    FieldDef f;
    f.key = "freq";
    f.label = "Output Freq.:";
    f.offset = base;
    f.wire = Wire::kU32LE;
    f.codec = Codec::kKhzAsMhz;
    f.message = kFrequencyOverMaximum;
    return f;
}

FieldDef QamAttField(int base) {
    FieldDef f;
    f.key = "att";
    f.label = "ATT(Db):";
    f.offset = base + 4;
    f.codec = Codec::kHalfStepDb;
    f.message = kAttCharacters;
    f.stepMessage = kAttStep;
    return f;
}

FieldDef QamConstellationField(int base, const std::vector<Choice>& list) {
    FieldDef f;
    f.key = "constellation";
    f.label = "Constellation:";
    f.offset = base + 5;
    f.control = Control::kCombo;
    f.codec = Codec::kChoice;
    f.choices = list;
    return f;
}

FieldDef QamSymbolRateField(int base) {
    FieldDef f;
    f.key = "symbol";
    f.label = "Symbol:";
    f.offset = base + 6;
    f.wire = Wire::kU16LE;
    f.codec = Codec::kSymbolRate;
    f.message = kSymbolRateCharacters;
    return f;
}

FieldDef QamInversionField(int base) {
    FieldDef f;
    f.key = "inversion";
    f.label = "Inverse Freq.";
    f.offset = base + 8;
    f.control = Control::kCombo;
    f.codec = Codec::kChoice;
    f.choices = {{"No", 0}, {"Yes", 1}};
    f.nonZeroIsOn = true;
    return f;
}

FieldDef QamAnnexField(int base) {
    FieldDef f;
    f.key = "annex";
    f.label = "Coding Type";
    f.offset = base + 9;
    f.control = Control::kCombo;
    f.codec = Codec::kChoice;
    f.choices = {{"Annex-A", 0}, {"Annex-B", 1}};
    f.nonZeroIsOn = true;
    return f;
}

void StoreOnOffAsShown(const FieldTable& table, const std::vector<std::optional<FieldInput>>& inputs,
                       ParamBlock& block) {
    for (size_t i = 0; i < table.size() && i < inputs.size(); ++i)
        if (table[i].nonZeroIsOn && inputs[i] && block.Holds(table[i]))
            block.SetValue(table[i], block.Value(table[i]) != 0 ? 1 : 0);
}

FieldResult ParseQpskAtt(const FieldDef&, const FieldInput& input) {
    const std::string& t = input.text;
    int64_t whole = 0;
    size_t i = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i)
        whole = std::min<int64_t>(whole * 10 + (t[i] - '0'), 1000000);
    int64_t value = whole * 10;
    const size_t point = t.find('.');
    if (point != std::string::npos) {
        int64_t fraction = 0;
        for (size_t j = point + 1; j < t.size() && t[j] >= '0' && t[j] <= '9'; ++j)
            fraction = std::min<int64_t>(fraction * 10 + (t[j] - '0'), 1000000);
        if (fraction > 0)
            value += 5;
    }
    FieldResult r;
    if (value > 200) {
        r.ok = false;
        r.message = kQpskAttTooHigh;
        return r;
    }
    r.value = value;
    return r;
}

std::string FormatQpskAtt(const FieldDef&, int64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d", int(value / 10), value % 10 ? 5 : 0);
    return text;
}

}  // namespace nms
