// Any byte sequence is an "*.ac" file of either form: load it over images of any contents, list the entries,
// pack them again and check that the packed table lists the same entries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "pages/scrambler/ac_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> file(data, data + size);
    nms::AcTableImage image;
    nms::AcEcmBlock ecm;
    image.fill(size ? data[0] : 0);
    ecm.fill(size > 1 ? data[1] : 0);
    nms::LoadAcFile(file, &image, &ecm);
    const auto entries = nms::ReadAcEntries(image, ecm);
    nms::AcIndexNames(image);
    if (nms::PackAcEntries(entries, &image, &ecm) && nms::ReadAcEntries(image, ecm) != entries)
        std::abort();
    if (nms::AcFileBytes(image, ecm).size() != size_t(nms::kAcFileSize))
        std::abort();

    nms::SasAcTableImage sas;
    sas.fill(size > 2 ? data[2] : 0);
    nms::LoadSasAcFile(file, &sas);
    const auto sasEntries = nms::ReadSasAcEntries(sas);
    nms::SasAcIndexNames(sas);
    if (nms::PackSasAcEntries(sasEntries, &sas) && nms::ReadSasAcEntries(sas) != sasEntries)
        std::abort();
    if (nms::SasAcFileBytes(sas).size() != size_t(nms::kAcFileSize - 1))
        std::abort();
    return 0;
}
