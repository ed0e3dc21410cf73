// What devsim makes of one device: the simulators its type and the options call for, asked in a fixed
// order, behind one handler. devsim and the end-to-end tests compose their devices with it, so a test
// meets a device exactly as the operator meets it in devsim.
#pragma once

#include <cstdint>

#include "device_simulator.h"
#include "scrambler_device_sim.h"

namespace nms::test {

struct DevsimOptions {
    int muxPageParam = -1;  // --mux: the input channel page's multiplex and the PSI/SI tables (-1: the
                            // type's own input channel page, if it has one)
    int configFlash = 0;    // --config-flash (1) or --config-long (2)
    bool dvbt2 = false;     // --dvbt2
    ScramblerSimDevice::Quirks scrambler;  // --scrambler-quirk
    bool outputWithoutFlags = false;       // --output-without-flags
    int selectorEcho = -1;                 // --selector-echo
};

// The PageParam of the input channel page ("Multiplex", CMuxChannelView) of a type; -1 without one.
int InputChannelPageParam(uint16_t typeCode);

// The handler of a device of this type; empty when the device answers nothing beyond heartbeats,
// versions and configuration operations.
DeviceSimulator::Handler MakeDevsimHandler(uint16_t typeCode, const DevsimOptions& options = {});

}  // namespace nms::test
