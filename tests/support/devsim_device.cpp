#include "devsim_device.h"

#include <memory>
#include <mutex>
#include <string>

#include "config_flash_sim.h"
#include "devices/device_type_catalogue.h"
#include "encoder_device_sim.h"
#include "encoder_multi_sim.h"
#include "encoder_output_sim.h"
#include "ird_device_sim.h"
#include "mux_device_sim.h"
#include "mux_pages_sim.h"
#include "pages/psi/mux_nit_logic.h"
#include "pages/psi/nit_table.h"
#include "pages/psi/psi_chain.h"
#include "param_store_sim.h"
#include "psi_device_sim.h"
#include "receiver_device_sim.h"
#include "scrambler_device_sim.h"

namespace nms::test {

namespace {

// The PageParam of a page class on a type; -1 when the type has no such page.
int PageParamOf(uint16_t type, const char* pageClass) {
    const DeviceTypeInfo* info = FindDeviceTypeByCode(type);
    for (int i = 0; info && i < info->pageCount; ++i)
        if (std::string(info->pages[i].pageClass) == pageClass)
            return info->pages[i].pageParam;
    return -1;
}

}  // namespace

int InputChannelPageParam(uint16_t type) {
    return PageParamOf(type, "CMuxChannelView");
}

namespace {

// The NIT editor's model (its PageParam) on a type; -1 when the type has no such page.
int NitModelOf(uint16_t type) {
    return PageParamOf(type, "CMuxNitEditView");
}

// The simulators one device is made of, asked in a fixed order.
struct DevsimDevice {
    std::shared_ptr<MuxSimPrograms> mux;
    std::shared_ptr<PsiSimTables> psi;
    std::shared_ptr<ConfigFlashSim> flash;
    std::shared_ptr<IrdSimDevice> ird;
    std::shared_ptr<EncoderSimDevice> encoder;
    std::shared_ptr<ScramblerSimDevice> scrambler;
    std::shared_ptr<ReceiverSimDevice> receiver;
    std::shared_ptr<EncoderOutputSimDevice> output;
    std::shared_ptr<ParamStoreSim> store;
    std::shared_ptr<EncoderMultiSim> multi;
    std::shared_ptr<MuxPagesSim> pages;
    int nitModel = -1;  // the NIT editor's model; its reads and writes go to the PSI/SI tables
    std::vector<std::vector<uint8_t>> nitLater;  // the NIT sections after the first, as written
    uint16_t type = 0;
    int psiVariant = -1;  // the PSI/SI editor's variant on a type without the input channel page

    DevsimDevice(uint16_t type, const DevsimOptions& options);
    bool Empty() const {
        return !(mux || psi || flash || ird || store || receiver || scrambler || encoder || output || multi ||
                 pages);
    }
    std::optional<SimReply> Handle(const SimPacket& p);
    std::optional<SimReply> HandleNit(const SimPacket& p);
    std::optional<SimReply> HandlePsi(const SimPacket& p);
};

// The input channel page and the PSI/SI editors: on every type with --mux, and without it on the types
// that show the input channel page, in that page's variant.
int MuxPageParamOf(uint16_t type, const DevsimOptions& options) {
    return options.muxPageParam >= 0 ? options.muxPageParam : InputChannelPageParam(type);
}

DevsimDevice::DevsimDevice(uint16_t type, const DevsimOptions& options) {
    const int muxPageParam = MuxPageParamOf(type, options);
    if (muxPageParam >= 0) {
        mux = std::make_shared<MuxSimPrograms>(muxPageParam);
        psi = std::make_shared<PsiSimTables>();
    }
    if (options.configFlash)
        flash = std::make_shared<ConfigFlashSim>(options.configFlash == 2);
    if (IrdSimDevice::Serves(type))
        ird = std::make_shared<IrdSimDevice>(type);
    if (EncoderSimDevice::Serves(type))
        encoder = std::make_shared<EncoderSimDevice>(type);
    if (ScramblerSimDevice::Serves(type))
        scrambler = std::make_shared<ScramblerSimDevice>(type, options.scrambler);
    if (ReceiverSimDevice::Serves(type))
        receiver = std::make_shared<ReceiverSimDevice>(type);
    if (EncoderOutputSimDevice::Serves(type))
        output = std::make_shared<EncoderOutputSimDevice>(type);
    if (options.dvbt2 && type == 0x4106)
        store = std::make_shared<ParamStoreSim>(ParamStoreSim::DvbT2ModulatorProfile(),
                                                ParamStoreSim::StatusOf(type));
    else if (!ParamStoreSim(type).Empty())
        store = std::make_shared<ParamStoreSim>(type);
    if (EncoderMultiSim::Serves(type))
        multi = std::make_shared<EncoderMultiSim>(type);
    if (MuxPagesSim::Serves(type)) {
        pages = std::make_shared<MuxPagesSim>(type);
        pages->SetQuirks({options.outputWithoutFlags, options.selectorEcho});
    }
    // Every type with the NIT editor answers it, in its model, from the PSI/SI tables.
    nitModel = NitModelOf(type);
    if (nitModel >= 0 && !psi)
        psi = std::make_shared<PsiSimTables>();
    // The types without the input channel page answer the PSI/SI editor in its own variant.
    this->type = type;
    if (!mux) {
        psiVariant = PageParamOf(type, "CMuxPsiView");
        if (psiVariant >= 0 && !psi)
            psi = std::make_shared<PsiSimTables>();
    }
}

std::optional<SimReply> DevsimDevice::HandlePsi(const SimPacket& p) {
    const int v = psiVariant;
    const bool prefixed = CMuxPsiChain::ReadsChannelByte(v);
    // The variants that read one channel of several, with the PMT replies' 5-byte head.
    const bool multi = CMuxPsiChain::IsMultiChannel(v);
    const uint8_t channel =
        v == 102 ? (p.payload.size() > 8 ? p.payload[8] : 0) : (p.payload.empty() ? 0 : p.payload[0]);
    auto read = [&](const std::vector<uint8_t>& section) {
        std::vector<uint8_t> payload;
        if (prefixed)
            payload.push_back(channel);
        payload.insert(payload.end(), section.begin(), section.end());
        return SimReply{p.command, payload, 1, 1};
    };
    const size_t skip = CMuxPsiChain::WritesChannelByte(v) ? 1 : 0;
    auto store = [&](std::vector<uint8_t>* table) {
        if (p.payload.size() > skip)
            table->assign(p.payload.begin() + long(skip), p.payload.end());
        ++psi->writes;
        return SimReply{p.command, {0}, 1, 1};
    };
    // The PMT of the n-th program of the PAT, kept as channel 1's program n + 1. The program byte of reads
    // and writes counts from 1 on 16, 64 and 96, from 0 on the others.
    auto pmtKey = [v](uint8_t program) {
        const int base = v == 16 || v == 64 || v == 96 ? 1 : 0;
        return std::make_pair(1, int(program) - base + 1);
    };
    switch (p.command) {
        case 32:  // parse: the read that follows comes from the tables
            return SimReply{p.command, {0}, 1, 1};
        case 39:
            if (v == 102) {  // eight bytes of head, the module count in the second
                std::vector<uint8_t> payload(9, 0);
                payload[1] = 1;
                payload.insert(payload.end(), psi->pat.begin(), psi->pat.end());
                return SimReply{p.command, payload, 1, 1};
            }
            return read(psi->pat);
        case 41: {
            if (p.payload.size() < 2)
                return std::nullopt;
            std::vector<uint8_t> payload = {p.payload[0], p.payload[1]};
            // The multi-channel variants, and 19 on the multiplexing scrambler, put the section at byte 5.
            if (multi || (v == 19 && type == 0x3104))
                payload.insert(payload.end(), 3, 0);
            auto it = psi->pmts.find(pmtKey(p.payload[1]));
            if (it != psi->pmts.end())
                payload.insert(payload.end(), it->second.begin(), it->second.end());
            return SimReply{p.command, payload, 1, 1};
        }
        case 45:
            return read(psi->cat);
        case 47:
            return read(psi->nit);
        case 43:
            return read(psi->sdt);
        case 40:
            return store(&psi->pat);
        case 42:  // the program's PMT behind the same two bytes as its read
            if (p.payload.size() < 2)
                return std::nullopt;
            psi->pmts[pmtKey(p.payload[1])].assign(p.payload.begin() + 2, p.payload.end());
            ++psi->writes;
            return SimReply{p.command, {0}, 1, 1};
        case 46:
            return store(&psi->cat);
        case 48:
            return store(&psi->nit);
        case 44:
            return store(&psi->sdt);
        default:
            return std::nullopt;
    }
}

std::optional<SimReply> DevsimDevice::HandleNit(const SimPacket& p) {
    const uint8_t channel = p.payload.empty() ? 0 : p.payload[0];
    if (p.command == 0x2F) {
        // The section asked for (b, from 1; the first when there is no such section) and the count kept,
        // behind the requested channel where the model reads one.
        const int count = 1 + int(nitLater.size());
        const int n = p.b >= 1 && p.b <= count ? p.b : 1;
        const std::vector<uint8_t>& section = n == 1 ? psi->nit : nitLater[size_t(n - 2)];
        std::vector<uint8_t> payload;
        if (MuxNitLogic::ChannelInSectionReply(nitModel))
            payload.push_back(channel);
        payload.insert(payload.end(), section.begin(), section.end());
        return SimReply{p.command, payload, uint8_t(n), uint8_t(count)};
    }
    // 0x30, one section a packet (b, from 1), behind the channel where the model sends one: the first
    // replaces the table; the reply names the section taken.
    const bool channelByte = MuxNitLogic::ChannelInSend(nitModel);
    const size_t skip = channelByte ? 1 : 0;
    if (p.payload.size() > skip) {
        std::vector<uint8_t> section(p.payload.begin() + long(skip), p.payload.end());
        if (p.b == 1) {
            psi->nit = std::move(section);
            nitLater.clear();
        } else if (p.b >= 2 && p.b <= kNitSlotCount) {
            if (nitLater.size() < size_t(p.b - 1))
                nitLater.resize(size_t(p.b - 1));
            nitLater[size_t(p.b - 2)] = std::move(section);
        }
    }
    ++psi->writes;
    return SimReply{p.command, {channelByte ? channel : uint8_t(0)}, p.b, p.c};
}

std::optional<SimReply> DevsimDevice::Handle(const SimPacket& p) {
    if (multi) {
        if (auto r = multi->Handle(p.command, p.payload))
            return SimReply{p.command, r->payload, r->b, r->c};
    }
    if (store) {
        if (auto r = store->Handle(p.command, p.payload))
            return SimReply{p.command, *r, store->ReplyB(p.command)};
    }
    if (encoder) {
        if (auto r = encoder->Handle(p.command, p.payload))
            return SimReply{p.command, *r};
    }
    if (ird) {
        if (auto r = ird->Handle(p.command, p.payload))
            return SimReply{p.command, r->payload, r->b, r->c};
    }
    if (receiver) {
        if (auto r = receiver->Handle(p.command, p.payload))
            return SimReply{p.command, r->payload, r->b, r->c};
    }
    if (output) {
        if (auto r = output->Handle(p.command, p.payload))
            return SimReply{p.command, r->payload, r->b, r->c};
    }
    // The IP multiplexer page and the scrambler page of one device read the same CAS settings (0x24):
    // the scrambler keeps them, so that what its page writes the other reads.
    if (scrambler && pages && p.command == 0x24) {
        if (auto r = scrambler->Handle(p.command, p.b, p.c, p.payload))
            return SimReply{p.command, r->payload, r->b, r->c};
    }
    if (pages) {
        if (auto r = pages->Handle(p.command, p.b, p.c, p.payload))
            return SimReply{p.command, r->payload, r->b, r->c};
    }
    if (nitModel >= 0 && (p.command == 0x2F || p.command == 0x30))
        return HandleNit(p);
    if (psiVariant >= 0)
        if (auto r = HandlePsi(p))
            return r;
    if (mux) {
        if (auto r = mux->Handle(p.command, p.b, p.c, p.payload))
            return SimReply{p.command, r->payload, r->b, r->c};
        if (auto r = psi->Handle(p.command, p.b, p.c, p.payload))
            return SimReply{p.command, r->payload, r->b, r->c};
    }
    // The scramblers share command codes with the multiplexer pages: with --mux those answer first.
    if (scrambler) {
        if (auto r = scrambler->Handle(p.command, p.b, p.c, p.payload))
            return SimReply{p.command, r->payload, r->b, r->c};
    }
    if (flash) {
        if (auto r = flash->Handle(p.command, p.b, p.c, p.payload))
            return SimReply{p.command, r->payload, r->b, r->c};
    }
    return std::nullopt;
}

}  // namespace

DeviceSimulator::Handler MakeDevsimHandler(uint16_t type, const DevsimOptions& options) {
    // Whether the device answers anything beyond heartbeats, without building what it keeps.
    const bool serves =
        MuxPageParamOf(type, options) >= 0 || options.configFlash || IrdSimDevice::Serves(type) ||
        EncoderSimDevice::Serves(type) || ScramblerSimDevice::Serves(type) ||
        ReceiverSimDevice::Serves(type) || EncoderOutputSimDevice::Serves(type) ||
        (options.dvbt2 && type == 0x4106) || !ParamStoreSim(type).Empty() || EncoderMultiSim::Serves(type) ||
        MuxPagesSim::Serves(type) || NitModelOf(type) >= 0 || PageParamOf(type, "CMuxPsiView") >= 0;
    if (!serves)
        return {};
    // What a device keeps is built at its first request: tens of thousands of devices that only answer
    // heartbeats cost nothing.
    struct Lazy {
        uint16_t type;
        DevsimOptions options;
        std::once_flag once;
        std::unique_ptr<DevsimDevice> device;
    };
    auto lazy = std::make_shared<Lazy>();
    lazy->type = type;
    lazy->options = options;
    return [lazy](const SimPacket& p) -> std::optional<SimReply> {
        std::call_once(lazy->once,
                       [&] { lazy->device = std::make_unique<DevsimDevice>(lazy->type, lazy->options); });
        return lazy->device->Handle(p);
    };
}

}  // namespace nms::test
