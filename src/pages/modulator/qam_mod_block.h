// The radio values of the modulator records: the 20-byte QAM modulation block (frequency in kHz,
// attenuation in tenths of dB, constellation, symbol rate in ksym/s, spectrum inversion, annex), the lists
// the pages show for them and the messages that refuse bad text. Shared by every page that exchanges them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pagebase/field_table.h"

namespace nms {

constexpr int kQamModBlockSize = 20;

extern const char* const kFrequencyOverMaximum;  // "Frequency error,over maximum!"
extern const char* const kSymbolRateCharacters;  // "Symbol rate should be '0-9' or '.'"
extern const char* const kAttCharacters;         // "ATT value error,should be 0-9 or ."
extern const char* const kAttStep;               // "ATT value must be changed with step 0.5."
extern const char* const kQpskAttTooHigh;        // "ATT can not > 20 Db"

// The constellation lists: index = record byte.
const std::vector<Choice>& EightConstellations();  // "QPSK" .. "1024QAM"
const std::vector<Choice>& FiveConstellations();   // "16QAM" .. "256QAM"
const std::vector<Choice>& InputInterfaces();      // "ASI", "DS3-1" .. "DS3-8"
const std::vector<Choice>& ConvolutionCodes();     // "1/2" .. "7/8"

// The fields of a QamModBlock at offset base, with these keys: "freq", "att", "constellation", "symbol",
// "inversion", "annex". The lists and their controls are the caller's to change.
FieldDef QamFrequencyField(int base);
FieldDef QamAttField(int base);
FieldDef QamConstellationField(int base, const std::vector<Choice>& list);
FieldDef QamSymbolRateField(int base);
FieldDef QamInversionField(int base);
FieldDef QamAnnexField(int base);

// The off/on lists a page took from its form (inputs: one entry per field, none for a hidden one) go out as
// they show, 0 or 1, whatever other non-zero value the device had sent.
void StoreOnOffAsShown(const FieldTable& table, const std::vector<std::optional<FieldInput>>& inputs,
                       ParamBlock& block);

// The attenuation of the QPSK modulator: whole dB x 10 plus 5 for any fraction, at most 20.0 dB; shown with
// .5 or .0.
FieldResult ParseQpskAtt(const FieldDef& field, const FieldInput& input);
std::string FormatQpskAtt(const FieldDef& field, int64_t value);

}  // namespace nms
