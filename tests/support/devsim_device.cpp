#include "devsim_device.h"

#include <memory>

#include "config_flash_sim.h"
#include "encoder_device_sim.h"
#include "encoder_multi_sim.h"
#include "encoder_output_sim.h"
#include "ird_device_sim.h"
#include "mux_device_sim.h"
#include "mux_pages_sim.h"
#include "param_store_sim.h"
#include "psi_device_sim.h"
#include "receiver_device_sim.h"
#include "scrambler_device_sim.h"

namespace nms::test {

DeviceSimulator::Handler MakeDevsimHandler(uint16_t type, const DevsimOptions& options) {
    std::shared_ptr<MuxSimPrograms> mux;
    std::shared_ptr<PsiSimTables> psi;
    if (options.muxPageParam >= 0) {
        mux = std::make_shared<MuxSimPrograms>(options.muxPageParam);
        psi = std::make_shared<PsiSimTables>();
    }
    std::shared_ptr<ConfigFlashSim> flash;
    if (options.configFlash)
        flash = std::make_shared<ConfigFlashSim>(options.configFlash == 2);
    std::shared_ptr<IrdSimDevice> ird;
    if (IrdSimDevice::Serves(type))
        ird = std::make_shared<IrdSimDevice>(type);
    std::shared_ptr<EncoderSimDevice> encoder;
    if (EncoderSimDevice::Serves(type))
        encoder = std::make_shared<EncoderSimDevice>(type);
    std::shared_ptr<ScramblerSimDevice> scrambler;
    if (ScramblerSimDevice::Serves(type))
        scrambler = std::make_shared<ScramblerSimDevice>(type);
    std::shared_ptr<ReceiverSimDevice> receiver;
    if (ReceiverSimDevice::Serves(type))
        receiver = std::make_shared<ReceiverSimDevice>(type);
    std::shared_ptr<EncoderOutputSimDevice> output;
    if (EncoderOutputSimDevice::Serves(type))
        output = std::make_shared<EncoderOutputSimDevice>(type);
    std::shared_ptr<ParamStoreSim> store;
    if (options.dvbt2 && type == 0x4106)
        store = std::make_shared<ParamStoreSim>(ParamStoreSim::DvbT2ModulatorProfile(),
                                                ParamStoreSim::StatusOf(type));
    else if (!ParamStoreSim(type).Empty())
        store = std::make_shared<ParamStoreSim>(type);
    std::shared_ptr<EncoderMultiSim> multi;
    if (EncoderMultiSim::Serves(type))
        multi = std::make_shared<EncoderMultiSim>(type);
    std::shared_ptr<MuxPagesSim> pages;
    if (MuxPagesSim::Serves(type))
        pages = std::make_shared<MuxPagesSim>(type);
    if (!(mux || flash || ird || store || receiver || scrambler || encoder || output || multi || pages))
        return {};
    return [mux, psi, flash, ird, store, receiver, scrambler, encoder, output, multi,
            pages](const SimPacket& p) -> std::optional<SimReply> {
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
    };
}

}  // namespace nms::test
