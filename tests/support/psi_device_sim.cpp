#include "psi_device_sim.h"

#include "psi_sections.h"

namespace nms::test {

PsiSimTables::PsiSimTables() {
    pat = testing::MakePat(2, 0x0001);
    pmts[{1, 1}] = testing::MakePmt(1);
    pmts[{1, 2}] = testing::MakePmt(2);
    cat = testing::MakeCat(2);
    nit = testing::MakeNit();
    sdt = testing::MakeSdt(2, 0x0001);
}

std::optional<PsiSimTables::Reply> PsiSimTables::Handle(uint8_t command, uint8_t b, uint8_t c,
                                                        const Bytes& payload) {
    Reply reply;
    switch (command) {
        case 39:
            reply.payload = pat;
            return reply;
        case 41: {
            if (payload.size() < 2)
                return std::nullopt;
            reply.payload = {payload[0], payload[1]};
            auto it = pmts.find({payload[0], payload[1]});
            if (it != pmts.end())
                reply.payload.insert(reply.payload.end(), it->second.begin(), it->second.end());
            return reply;
        }
        case 45:
            reply.payload = cat;
            return reply;
        case 47:
            reply.payload = nit;
            return reply;
        case 43:
            reply.payload = sdt;
            return reply;
        case 40:
            pat = payload;
            break;
        case 42:
            if (payload.size() < 2)
                return std::nullopt;
            pmts[{payload[0], payload[1]}] = Bytes(payload.begin() + 2, payload.end());
            break;
        case 46:
            cat = payload;
            break;
        case 48:
            nit = payload;
            break;
        case 44:
            sdt = payload;
            break;
        default:
            return std::nullopt;
    }
    ++writes;
    reply.payload = {0};
    return reply;
}

}  // namespace nms::test
