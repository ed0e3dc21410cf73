// CAT and PMT sections of any bytes, with any private data typed in: the CA descriptor editor reads only
// the section, refuses what it cannot rebuild, and a rebuilt section fits its buffer and parses back to
// what was edited.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "devices/device_packet.h"
#include "pages/psi/ca_descriptor_section.h"

using namespace nms;

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const bool cat = (data[0] & 1) != 0;
    const uint8_t edits = data[1];
    // The section goes first in its own exact copy; what follows it feeds the edits.
    const size_t sectionSize = data[2] * 5 % (size - 2);
    std::vector<uint8_t> input(data + 3, data + 3 + sectionSize);
    const uint8_t* text = data + 3 + sectionSize;
    const size_t textSize = size - 3 - sectionSize;

    CaDescriptorSection section;
    const bool parsed = section.Parse(cat, input.empty() ? nullptr : input.data(), int(input.size()));
    Check(parsed == section.IsValid());
    Check(parsed || !section.Problem().empty());

    std::vector<uint8_t> out(kCaSectionBufferSize, 0xCC);
    int length = -1;
    std::string problem;
    if (!parsed) {
        Check(!section.Rebuild(out.data(), &length, &problem));
        Check(length == -1 && !problem.empty());
        return 0;
    }

    // Unchanged, the section comes back as it came, only with a new CRC.
    bool rebuilt = section.Rebuild(out.data(), &length, &problem);
    if (rebuilt) {
        Check(length >= (cat ? 12 : 18) && length <= kCaSectionBufferSize);
        Check(length <= int(input.size()));
        Check(std::equal(out.begin(), out.begin() + length - 4, input.begin()));
        const int skip = cat ? 0 : 2;
        Check(Crc32Mpeg2(out.data() + skip, length - skip) == 0);
    }

    // Typed private data: raw bytes as text, so odd lengths, non-hex characters and long texts occur.
    size_t at = 0;
    for (size_t i = 0; i < section.Entries().size(); ++i) {
        if (!(edits >> (i % 8) & 1) || at >= textSize)
            continue;
        const size_t n = text[at++] % 140;
        std::string typed;
        for (size_t k = 0; k < n && at < textSize; ++k, ++at)
            typed += (edits & 0x80) ? "0123456789abcdefABCDEF"[text[at] % 22] : char(text[at]);
        section.Entries()[i].privateText = typed;
    }
    std::vector<std::string> wanted;
    bool allFine = true;
    for (const CaDescriptorEntry& e : section.Entries()) {
        wanted.push_back(Lower(e.privateText));
        allFine = allFine && CaDescriptorSection::CheckPrivateText(e.privateText).empty();
    }

    std::fill(out.begin(), out.end(), 0xCC);
    length = -1;
    problem.clear();
    rebuilt = section.Rebuild(out.data(), &length, &problem);
    if (!rebuilt) {
        Check(length == -1 && !problem.empty());
        Check(std::all_of(out.begin(), out.end(), [](uint8_t b) { return b == 0xCC; }));
        return 0;
    }
    Check(allFine);
    Check(length > 0 && length <= kCaSectionBufferSize);

    CaDescriptorSection again;
    Check(again.Parse(cat, out.data(), length));
    Check(again.Entries().size() == wanted.size());
    for (size_t i = 0; i < wanted.size(); ++i) {
        Check(Lower(again.Entries()[i].privateText) == wanted[i]);
        Check(again.Entries()[i].caSystemId == section.Entries()[i].caSystemId);
        Check(again.Entries()[i].caPid == section.Entries()[i].caPid);
    }
    return 0;
}
