// devsim: simulated head-end devices on loopback addresses, for trying the program and for benchmarks.
#include <arpa/inet.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "device_simulator.h"
#include "devsim_device.h"

namespace {

const char kHelp[] =
    "usage: devsim [options]\n"
    "\n"
    "Simulates devices of the head-end device protocol over real UDP. Device i (from 0) listens on its own\n"
    "loopback address, 127.0.1.1, 127.0.1.2, ... 127.0.1.254, 127.0.2.1, ... (or from --first-address on),\n"
    "all on one port. Each device answers heartbeats (command 1), the version request (command 2) and\n"
    "configuration operations (command 3, echoing the operation byte); other commands get no answer.\n"
    "\n"
    "options:\n"
    "  --count N               number of devices (default 1; up to 50,000 and more: beyond 1,000 devices\n"
    "                          on a fixed port they share one socket bound to every local address, and\n"
    "                          each still answers from its own address)\n"
    "  --first-address A.B.C.D address of device 0 (default 127.0.1.1); later devices count up in the last\n"
    "                          byte, skipping .0 and .255\n"
    "  --port P                UDP port of every device (default 2009; 0 lets the system choose per device)\n"
    "  --type CODE             device type code, hex (default 2101)\n"
    "  --heartbeat-payload HEX payload of heartbeat replies (default empty)\n"
    "  --saved-bit             set bit 7 of byte b in heartbeat replies (\"configuration saved\")\n"
    "  --version HEX           payload of version replies (default 01000100: SW 1.00, HW 1.00)\n"
    "  --stamp-command CODE    answer requests with this command (decimal) with 8 bytes of CLOCK_MONOTONIC\n"
    "                          nanoseconds, big-endian (used by the benchmark)\n"
    "  --silent                start with every device silent\n"
    "  --list                  print one line per device: index, address, port, type code\n"
    "  --delay CMD:MS          hold every reply to command CMD (decimal, or hex after 0x) back for MS\n"
    "                          milliseconds: 25000 answers a page's request after its wait ran out\n"
    "  --repeat CMD:N          send every reply to command CMD N times in a row (a device that echoes)\n"
    "  --output-without-flags  the output parameters reply of the one-output multiplexers (0x33) carries\n"
    "                          the ten parameter bytes only, without the table flags byte\n"
    "  --selector-echo N       the two-output multiplexer's PID filter and pass-through tables (0x37, 0x35)\n"
    "                          echo N (0..255) as their selector instead of the table asked for\n"
    "  --scrambler-quirk Q     the scramblers' pages meet a device that departs from the plain answers (may\n"
    "                          be given more than once): ac-steps:N (AC table reads end after N pages),\n"
    "                          misnumber (the ASI QAM modulator with scrambler answers the third program\n"
    "                          request and the second AC page request once with program 1 and page 1,1),\n"
    "                          two-channel (the scrambling QAM modulators carry channel A's second program\n"
    "                          on channel C too)\n"
    "  --mux PAGEPARAM         answer the input channel page's commands (0x20 to 0x26) from a small\n"
    "                          multiplex: channel 1 with three programs (the first routed), channel 3 with\n"
    "                          one; PAGEPARAM 1 serves two outputs, 86 the transcoder's 379-byte records\n"
    "                          and the PSI/SI editor's tables (commands 39 to 48): PAT, PMTs, CAT, NIT and\n"
    "                          SDT of two services, which writes replace\n"
    "                          Without --mux the types that show the input channel page (1401, 4111, 2103,\n"
    "                          2133, 2115, 2101, 2102, 2236) serve it and the PSI/SI editors in their own\n"
    "                          variant\n"
    "Every type whose tabs include the PID filter, PID pass-through, PID monitor, IP multiplexer\n"
    "(Cmuxip), output parameters or ASI monitor page answers it (0x33 to 0x38, 0x20 to 0x24, 0x40, 0x70)\n"
    "in the variant the catalogue gives it, from tables that writes replace. Every type whose tabs include\n"
    "the NIT editor answers it (0x2F, 0x30) in the page's model, from a NIT of two transport streams that\n"
    "writes replace; the types without the input channel page whose tabs include the PSI/SI editor answer\n"
    "it (commands 32 and 39 to 48) in the page's variant from the tables --mux serves.\n"
    "  --config-flash          answer the configuration transfer (export 23, erase 24, import 25) from a\n"
    "                          flash of 250 blocks of 1024 bytes (the first 40 hold a pattern, the rest\n"
    "                          erased, 0xFF); imports replace it, so a later export returns what came in\n"
    "  --config-long           the same in the long format: 175 export blocks of 2048 bytes, the erase\n"
    "                          reply says 255 and imports carry their block number\n"
    "Devices of the QAM and QPSK modulator types (4101, 3102, 4102, 4111, 4104, 4144, 4154, 4164, 3104,\n"
    "4114, 4125, 4126, 4153, 4137, 4122, 4107, 4109, 4106, 4117, 4157, 4147, 4127, 4187) answer their\n"
    "parameter records (0x33, 0x70)\n"
    "from what the last write (0x34, 0x71) stored,\n"
    "and the multi-output ones their status (0x40) with moving bitrates.\n"
    "  --dvbt2                 devices of the DVB-T/T2 modulator type (4106) carry the DVB-T2 block: their\n"
    "                          0x33 reply has header byte 2 = 8, so the Modulator page shows the DVB-T2\n"
    "                          layout (without it they carry the DVB-T block)\n"
    "Devices of the CAM receiver, decoder, line adapter, ASI distributor and infrared controller types\n"
    "(5106, 5176, 5217, 5304, 5109, 5101, 7101, 7201) also answer their pages' commands from records\n"
    "they keep; writes replace them and status polls move a little each time.\n"
    "Devices of the SD and HD encoder types (1101, 1102, 1105, 1115, 1815, 1855, 4256, 4202) and the\n"
    "encoder boards of 4101, 4107 and 4106 answer their video, audio and system pages (0x60 to 0x65, and\n"
    "0x33, 0x34 and the status 0x40 of 1101, the status 0x40 of 1105) per encoding channel.\n"
    "Devices of the encoder and encoder-modulator types with an Output page (1102, 1115, 1808, 1815, 1301,\n"
    "1302, 1303, 1855, 4203, 4202, 4208, 4236, 4256) answer it (0x33, 0x34, status 0x40), and every type\n"
    "with an encoder-style TS over IP page answers that (0x58, 0x59).\n"
    "  --help                  this text\n"
    "\n"
    "When every device is bound devsim prints \"ready N\". It then reads commands from standard input, one\n"
    "per line (I is a device index, or \"all\"):\n"
    "  silent I                stop answering\n"
    "  answer I                answer again\n"
    "  restart I               send command 4 (device restart) to the program it last heard from\n"
    "  send I CMD HEX          send a packet with command CMD (decimal) and payload HEX\n"
    "  raw I HEX               send these bytes as one datagram\n"
    "  delay I CMD MS          from now on hold replies to CMD back for MS milliseconds (0: at once)\n"
    "  repeat I CMD N          from now on send replies to CMD N times (1: once)\n"
    "  malformed I KIND CMD    send a faulty packet with command CMD; KIND is crc (one CRC bit flipped),\n"
    "                          short (5 bytes), type (another type code) or length (length field one too\n"
    "                          many)\n"
    "  quit                    end\n"
    "At the end of standard input devsim keeps running until it is interrupted (SIGINT / SIGTERM).\n";

bool ParseHex(const std::string& text, std::vector<uint8_t>* bytes) {
    bytes->clear();
    if (text.size() % 2)
        return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        char* end = nullptr;
        const std::string pair = text.substr(i, 2);
        const long v = std::strtol(pair.c_str(), &end, 16);
        if (*end)
            return false;
        bytes->push_back(uint8_t(v));
    }
    return true;
}

// "CMD:VALUE" with CMD decimal or 0x hex (a command byte) and VALUE a non-negative number.
bool ParseCommandValue(const std::string& text, uint8_t* command, long* value) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos)
        return false;
    char* end = nullptr;
    const std::string c = text.substr(0, colon), v = text.substr(colon + 1);
    const long cmd = std::strtol(c.c_str(), &end, 0);
    if (c.empty() || *end || cmd < 0 || cmd > 255)
        return false;
    *value = std::strtol(v.c_str(), &end, 10);
    if (v.empty() || *end || *value < 0)
        return false;
    *command = uint8_t(cmd);
    return true;
}

uint32_t NextAddress(uint32_t hostOrder) {
    do {
        ++hostOrder;
    } while ((hostOrder & 0xFF) == 0 || (hostOrder & 0xFF) == 0xFF);
    return hostOrder;
}

int Fail(const std::string& message) {
    std::cerr << "devsim: " << message << " (see devsim --help)\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using nms::test::DeviceSimulator;
    int count = 1;
    uint32_t first = ntohl(nms::test::SimLoopbackAddress(0));
    long port = 2009;
    uint16_t type = 0x2101;
    std::vector<uint8_t> heartbeat, version = {0x01, 0x00, 0x01, 0x00};
    bool savedBit = false, silent = false, list = false;
    int stampCommand = -1;
    int muxPageParam = -1;
    int configFlash = 0;  // 1 short format, 2 long format
    bool dvbt2 = false;
    nms::test::ScramblerSimDevice::Quirks scramblerQuirks;
    bool outputWithoutFlags = false;
    int selectorEcho = -1;
    std::vector<std::pair<uint8_t, long>> delays, repeats;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= argc)
                return false;
            *out = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (arg == "--count") {
            if (!value(&v) || (count = std::atoi(v.c_str())) <= 0)
                return Fail("--count needs a positive number");
        } else if (arg == "--first-address") {
            in_addr a{};
            if (!value(&v) || inet_pton(AF_INET, v.c_str(), &a) != 1)
                return Fail("--first-address needs A.B.C.D");
            first = ntohl(a.s_addr);
        } else if (arg == "--port") {
            if (!value(&v) || (port = std::strtol(v.c_str(), nullptr, 10)) < 0 || port > 65535)
                return Fail("--port needs 0 to 65535");
        } else if (arg == "--type") {
            if (!value(&v))
                return Fail("--type needs a hex code");
            type = uint16_t(std::strtoul(v.c_str(), nullptr, 16));
        } else if (arg == "--heartbeat-payload") {
            if (!value(&v) || !ParseHex(v, &heartbeat))
                return Fail("--heartbeat-payload needs hex bytes");
        } else if (arg == "--version") {
            if (!value(&v) || !ParseHex(v, &version))
                return Fail("--version needs hex bytes");
        } else if (arg == "--stamp-command") {
            if (!value(&v))
                return Fail("--stamp-command needs a command");
            stampCommand = std::atoi(v.c_str());
        } else if (arg == "--saved-bit") {
            savedBit = true;
        } else if (arg == "--silent") {
            silent = true;
        } else if (arg == "--list") {
            list = true;
        } else if (arg == "--mux") {
            if (!value(&v))
                return Fail("--mux needs a PageParam");
            muxPageParam = std::atoi(v.c_str());
        } else if (arg == "--config-flash") {
            configFlash = 1;
        } else if (arg == "--config-long") {
            configFlash = 2;
        } else if (arg == "--delay" || arg == "--repeat") {
            uint8_t command = 0;
            long n = 0;
            if (!value(&v) || !ParseCommandValue(v, &command, &n))
                return Fail(arg + " needs CMD:NUMBER");
            (arg == "--delay" ? delays : repeats).emplace_back(command, n);
        } else if (arg == "--scrambler-quirk") {
            if (!value(&v) || !nms::test::ScramblerSimDevice::ParseQuirk(v, &scramblerQuirks))
                return Fail("--scrambler-quirk needs ac-steps:N, misnumber or two-channel");
        } else if (arg == "--dvbt2") {
            dvbt2 = true;
        } else if (arg == "--output-without-flags") {
            outputWithoutFlags = true;
        } else if (arg == "--selector-echo") {
            if (!value(&v) || v.empty() || v.find_first_not_of("0123456789") != std::string::npos ||
                std::atoi(v.c_str()) > 255)
                return Fail("--selector-echo needs 0 to 255");
            selectorEcho = std::atoi(v.c_str());
        } else {
            return Fail("unknown option " + arg);
        }
    }

    nms::test::DevsimOptions devsimOptions;
    devsimOptions.muxPageParam = muxPageParam;
    devsimOptions.configFlash = configFlash;
    devsimOptions.dvbt2 = dvbt2;
    devsimOptions.scrambler = scramblerQuirks;
    devsimOptions.outputWithoutFlags = outputWithoutFlags;
    devsimOptions.selectorEcho = selectorEcho;
    nms::test::RaiseOpenFileLimit();
    DeviceSimulator::Options options;
    options.recordRequests = false;
    // One socket per device runs into the open-file limit at about 20,000 devices.
    if (count > 1000 && port != 0)
        options.sharedPort = uint16_t(port);
    DeviceSimulator sim(options);
    uint32_t address = first;
    for (int i = 0; i < count; ++i, address = NextAddress(address)) {
        const int index = sim.AddDevice(htonl(address), uint16_t(port), type);
        if (index < 0) {
            in_addr a{htonl(address)};
            return Fail(std::string("cannot bind ") + inet_ntoa(a) + ":" + std::to_string(port) + ": " +
                        std::strerror(errno));
        }
        sim.SetHeartbeatReply(index, heartbeat, savedBit);
        sim.SetVersionPayload(index, version);
        sim.SetSilent(index, silent);
        for (const auto& [command, ms] : delays)
            sim.SetReplyDelay(index, command, std::chrono::milliseconds(ms));
        for (const auto& [command, times] : repeats)
            sim.SetReplyRepeat(index, command, int(times));
        if (auto handler = nms::test::MakeDevsimHandler(type, devsimOptions))
            sim.SetHandler(index, std::move(handler));
        if (list) {
            in_addr a{sim.Address(index)};
            std::printf("%d %s %u %04x\n", index, inet_ntoa(a), unsigned(sim.Port(index)), unsigned(type));
        }
    }
    sim.SetStampCommand(stampCommand);
    // Signals are taken by one thread with sigwait, not by a handler, so SIGINT / SIGTERM end devsim
    // whether or not standard input is still open.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    sim.Start();
    std::printf("ready %d\n", count);
    std::fflush(stdout);
    std::thread([signals] {
        int signal = 0;
        sigwait(&signals, &signal);
        std::fflush(stdout);
        _exit(0);
    }).detach();

    const std::map<std::string, nms::test::Malformation> kinds = {
        {"crc", nms::test::Malformation::BadCrc},
        {"short", nms::test::Malformation::Short},
        {"type", nms::test::Malformation::WrongType},
        {"length", nms::test::Malformation::LengthMismatch}};
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream in(line);
        std::string command, which;
        in >> command;
        if (command.empty())
            continue;
        if (command == "quit")
            return 0;
        in >> which;
        std::vector<int> devices;
        if (which == "all") {
            for (int i = 0; i < count; ++i)
                devices.push_back(i);
        } else {
            char* end = nullptr;
            const long index = std::strtol(which.c_str(), &end, 10);
            if (which.empty() || *end || index < 0 || index >= count) {
                std::cerr << "devsim: no device '" << which << "'\n";
                continue;
            }
            devices.push_back(int(index));
        }
        std::string a, b;
        in >> a >> b;
        std::vector<uint8_t> bytes;
        for (int d : devices) {
            if (command == "silent") {
                sim.SetSilent(d, true);
            } else if (command == "answer") {
                sim.SetSilent(d, false);
            } else if (command == "restart") {
                sim.SendRestart(d);
            } else if (command == "send" && ParseHex(b, &bytes)) {
                sim.SendPacket(d, uint8_t(std::atoi(a.c_str())), bytes);
            } else if (command == "raw" && ParseHex(a, &bytes)) {
                sim.SendRaw(d, bytes);
            } else if ((command == "delay" || command == "repeat") && !a.empty() && !b.empty()) {
                uint8_t code = 0;
                long n = 0;
                if (!ParseCommandValue(a + ":" + b, &code, &n)) {
                    std::cerr << "devsim: cannot do '" << line << "'\n";
                    break;
                }
                if (command == "delay")
                    sim.SetReplyDelay(d, code, std::chrono::milliseconds(n));
                else
                    sim.SetReplyRepeat(d, code, int(n));
            } else if (command == "malformed" && kinds.count(a)) {
                sim.SendMalformed(d, kinds.at(a), uint8_t(std::atoi(b.c_str())));
            } else {
                std::cerr << "devsim: cannot do '" << line << "'\n";
                break;
            }
        }
    }
    for (;;)
        pause();
}
