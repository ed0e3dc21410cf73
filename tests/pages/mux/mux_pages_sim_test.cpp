// devsim's multiplexer pages as a device: what it answers to requests the pages do not make (short, long,
// out of range) and that the composition gives each page the answers meant for it.
#include "mux_pages_sim.h"

#include <gtest/gtest.h>

#include <random>

#include "devices/device_type_catalogue.h"
#include "devsim_device.h"
#include "psi_sections.h"

namespace nms {
namespace mux_pages_sim_test {

using test::MuxPagesSim;
using Bytes = std::vector<uint8_t>;

TEST(MuxPagesSim, AnyRequestOfAnyServedTypeIsAnsweredOrRefusedWithoutReadingPastIt) {
    std::mt19937 random(11);
    const uint8_t commands[] = {0x20, 0x21, 0x22, 0x23, 0x24, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x40, 0x70};
    int served = 0;
    for (int row = 0; row < DeviceTypeCount(); ++row) {
        const uint16_t type = DeviceTypeAt(row).typeCode;
        if (!MuxPagesSim::Serves(type))
            continue;
        ++served;
        MuxPagesSim sim(type);
        for (uint8_t command : commands) {
            for (size_t size :
                 {0, 1, 2, 3, 4, 9, 10, 11, 12, 13, 285, 286, 287, 301, 1024, 1025, 1030, 2000}) {
                Bytes q(size);
                for (uint8_t& b : q)
                    b = uint8_t(random());
                sim.Handle(command, 1, 1, q);
                std::fill(q.begin(), q.end(), 0xFF);
                sim.Handle(command, 1, 1, q);
            }
        }
        // Still a device: a Get answers.
        if (MuxPagesSim::PagesOf(type).pidFilter == 0) {
            EXPECT_TRUE(sim.Handle(0x37, 1, 1, {0}));
        }
    }
    EXPECT_GT(served, 30);
}

TEST(MuxPagesSim, SegmentsThatWouldPassTheTableOrTheirPayloadAreRefused) {
    MuxPagesSim sim(0x2125);  // 6-byte entries
    const Bytes before = sim.SegmentImage();
    struct Case {
        Bytes request;
        bool answered;
    };
    const Case cases[] = {
        {{0x00, 0x00, 0x00, 0x05, 1, 2, 3}, false},  // claims 5 bytes, carries 3
        {{0x0E, 0x00, 0x00, 0x10}, false},           // past 3608 bytes
        {{0x00, 0x00, 0x04, 0x01}, false},           // a segment over 1024 bytes
        {{0x00, 0x00}, false},                       // no length
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sim.Handle(0x36, 1, 1, c.request).has_value(), c.answered);
        EXPECT_EQ(sim.SegmentImage(), before);
    }
    // A whole table in two segments, then read back in two.
    Bytes image = {0x00, 0xAB};
    for (int i = 0; i < 0xAB; ++i)
        image.insert(image.end(), {uint8_t(i % 16), 1, 0x01, uint8_t(i), 0x02, uint8_t(i)});
    ASSERT_EQ(image.size(), 1028u);
    Bytes first = {0, 0, 0x04, 0x00};
    first.insert(first.end(), image.begin(), image.begin() + 1024);
    Bytes second = {0x04, 0x00, 0x00, 0x04};
    second.insert(second.end(), image.begin() + 1024, image.end());
    auto r = sim.Handle(0x36, 1, 1, first);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->payload, (Bytes{0, 0, 0x04, 0x00}));
    ASSERT_TRUE(sim.Handle(0x36, 1, 1, second));
    EXPECT_EQ(sim.SegmentImage(), image);
    r = sim.Handle(0x35, 1, 1, {0x04, 0x00});
    ASSERT_TRUE(r);
    EXPECT_EQ(Bytes(r->payload.begin(), r->payload.begin() + 6), (Bytes{0x04, 0x00, 0x04, 0x04, 0x00, 0x04}));
    EXPECT_EQ(Bytes(r->payload.begin() + 6, r->payload.end()), Bytes(image.begin() + 1024, image.end()));
}

TEST(MuxPagesSim, DevsimGivesEachPageOfASharedCommandItsOwnAnswer) {
    auto ask = [](uint16_t type, uint8_t command, Bytes payload) -> std::optional<Bytes> {
        auto handler = test::MakeDevsimHandler(type);
        test::SimPacket p;
        p.type = type;
        p.command = command;
        p.payload = std::move(payload);
        auto r = handler(p);
        if (!r)
            return std::nullopt;
        return r->payload;
    };
    // The CAM receiver's source selection and the PID pass-through table share 0x35.
    auto table = ask(0x5176, 0x35, {0});
    ASSERT_TRUE(table);
    EXPECT_EQ(table->at(0), 2);  // two entries
    auto source = ask(0x5176, 0x35, {2, 1, 0});
    ASSERT_TRUE(source);
    EXPECT_EQ(*source, (Bytes{2, 1}));
    // The scrambler page and the IP multiplexer page of one device: the record read differs by its third
    // byte, the CAS settings are the scrambler's.
    auto program = ask(0x4164, 0x21, {0, 0, 0});
    ASSERT_TRUE(program);
    EXPECT_EQ(program->size(), 3u + 283u);
    auto scrambled = ask(0x4164, 0x21, {0, 0, 1});
    ASSERT_TRUE(scrambled);
    EXPECT_NE(scrambled->size(), 3u + 283u);
    auto settings = ask(0x4164, 0x24, {0});
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->size(), 16u + 202u);
    // A type without any of these pages keeps its earlier answers: the QAM modulator's record.
    EXPECT_FALSE(MuxPagesSim::Serves(0x4104));
}

TEST(MuxPagesSim, DevsimKeepsAWrittenPmtForTheReadOfTheSameProgram) {
    // Types without the input channel page: their PSI/SI editor counts programs from 1 (0x4101, variant 16)
    // or from 0 (0x5176, variant 65); a PMT written for a program comes back to the read of that program,
    // and the other programs keep theirs.
    struct Case {
        uint16_t type;
        uint8_t first;  // the program byte of the first program
    };
    for (const Case& c : {Case{0x4101, 1}, Case{0x5176, 0}}) {
        SCOPED_TRACE(c.type);
        auto handler = test::MakeDevsimHandler(c.type);
        auto ask = [&](uint8_t command, Bytes payload) -> Bytes {
            test::SimPacket p;
            p.type = c.type;
            p.command = command;
            p.payload = std::move(payload);
            auto r = handler(p);
            return r ? r->payload : Bytes{0xEE};
        };
        const Bytes before = ask(41, {1, uint8_t(c.first + 1)});
        const Bytes pmt = testing::MakePmt(7);
        Bytes write = {1, c.first};
        write.insert(write.end(), pmt.begin(), pmt.end());
        EXPECT_EQ(ask(42, write), Bytes{0});
        const Bytes first = ask(41, {1, c.first});
        ASSERT_GE(first.size(), pmt.size());
        EXPECT_EQ(Bytes(first.end() - long(pmt.size()), first.end()), pmt);
        EXPECT_EQ(ask(41, {1, uint8_t(c.first + 1)}), before);
        EXPECT_EQ(ask(42, {1}), Bytes{0xEE});  // too short: no answer
    }
}

TEST(MuxPagesSim, DevsimKeepsEverySectionOfAWrittenNit) {
    // The NIT editor writes one section a packet (b counts from 1) and reads them back one by one.
    const uint16_t type = 0x3102;  // its NIT editor reads without a channel byte
    auto handler = test::MakeDevsimHandler(type);
    auto ask = [&](uint8_t command, uint8_t b, uint8_t c, Bytes payload) {
        test::SimPacket p;
        p.type = type;
        p.command = command;
        p.b = b;
        p.c = c;
        p.payload = std::move(payload);
        auto r = handler(p);
        EXPECT_TRUE(r);
        return r ? *r : test::SimReply{};
    };
    const Bytes first = {0x40, 0xF0, 0x03, 1, 2, 3}, second(1024, 0x22), third(1024, 0x33);
    ask(0x30, 1, 2, first);
    ask(0x30, 2, 3, second);
    ask(0x30, 3, 3, third);
    for (uint8_t n = 1; n <= 3; ++n) {
        const test::SimReply r = ask(0x2F, n, 1, {0});
        EXPECT_EQ(r.b, n);
        EXPECT_EQ(r.c, 3);
        EXPECT_EQ(r.payload, n == 1 ? first : n == 2 ? second : third);
    }
    // A table of one section replaces all of them.
    ask(0x30, 1, 1, first);
    const test::SimReply r = ask(0x2F, 1, 1, {0});
    EXPECT_EQ(r.c, 1);
    EXPECT_EQ(r.payload, first);
}

TEST(MuxPagesSim, DevsimTakesAWrittenNitBehindTheChannelByteOnlyWhereTheModelSendsOne) {
    // A type of each model with its own rule: model 4 reads the channel byte but sends none.
    struct Case {
        int model;
        Bytes write;  // what the page sends for section 1
        Bytes read;   // what a read of channel 1 returns then
    };
    const Bytes section = {0x40, 0xF0, 0x03, 1, 2, 3};
    auto behind = [&](uint8_t channel) {
        Bytes b = {channel};
        b.insert(b.end(), section.begin(), section.end());
        return b;
    };
    const Case cases[] = {
        {0, section, section},
        {4, section, behind(1)},
        {5, behind(1), behind(1)},
    };
    for (const Case& c : cases) {
        uint16_t type = 0;
        for (int row = 0; row < DeviceTypeCount() && !type; ++row) {
            const DeviceTypeInfo& info = DeviceTypeAt(row);
            for (int i = 0; i < info.pageCount; ++i)
                if (std::string(info.pages[i].pageClass) == "CMuxNitEditView" &&
                    info.pages[i].pageParam == c.model)
                    type = info.typeCode;
        }
        ASSERT_NE(type, 0) << c.model;
        auto handler = test::MakeDevsimHandler(type);
        test::SimPacket p;
        p.type = type;
        p.command = 0x30;
        p.b = p.c = 1;
        p.payload = c.write;
        ASSERT_TRUE(handler(p)) << c.model;
        p.command = 0x2F;
        p.payload = {1};
        const auto r = handler(p);
        ASSERT_TRUE(r) << c.model;
        EXPECT_EQ(r->payload, c.read) << "model " << c.model;
    }
}

}  // namespace mux_pages_sim_test
}  // namespace nms
