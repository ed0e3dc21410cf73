// The PSI/SI tables of a small multiplex as an "ASI Multiplexer(8ASI)" serves them: PAT, PMTs, CAT, NIT
// and SDT are read with commands 39, 41, 45, 47 and 43 and written with 40, 42, 46, 48 and 44. Writes
// replace what later reads return. Plain logic: the device simulator and the page tests both use it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace nms::test {

class PsiSimTables {
public:
    using Bytes = std::vector<uint8_t>;
    struct Reply {
        uint8_t b = 1;
        uint8_t c = 1;
        Bytes payload;
    };

    // Two programs on input channel 1 (programs 1 and 2), each with a PMT; two CA systems; a cable NIT;
    // an SDT naming both services.
    PsiSimTables();

    // The reply to one request, or none for a command this device does not serve.
    std::optional<Reply> Handle(uint8_t command, uint8_t b, uint8_t c, const Bytes& payload);

    Bytes pat, cat, nit, sdt;
    std::map<std::pair<int, int>, Bytes> pmts;  // (channel, program) -> section
    int writes = 0;
};

}  // namespace nms::test
