#include "pages/psi/ca_descriptor_section.h"

#include <gtest/gtest.h>

#include "pages/psi/psi_section_checker.h"
#include "psi_sections.h"

namespace nms {
namespace ca_descriptor_section_test {

using testing::Bytes;

// As the scrambler page hands it over: the reply from packet byte 7 on, so the packet's CRC follows.
Bytes AsReceived(const Bytes& section, const Bytes& prefix = {}) {
    Bytes b = prefix;
    b.insert(b.end(), section.begin(), section.end());
    b.insert(b.end(), {0xDE, 0xAD, 0xBE, 0xEF});
    return b;
}

Bytes Rebuild(const CaDescriptorSection& ca) {
    Bytes out(kCaSectionBufferSize);
    int n = 0;
    std::string why;
    EXPECT_TRUE(ca.Rebuild(out.data(), &n, &why)) << why;
    out.resize(n);
    return out;
}

TEST(CaDescriptorSection, CatWithOneDescriptorRebuildsToTheKnownBytes) {
    Bytes cat = testing::Header(0x01, 0xFFFF, 0);
    Bytes d = testing::Descriptor(0x09, {0x0B, 0x00, 0xE1, 0x00});
    cat.insert(cat.end(), d.begin(), d.end());
    cat = testing::Close(cat);
    Bytes in = AsReceived(cat);
    CaDescriptorSection ca;
    ASSERT_TRUE(ca.Parse(true, in.data(), static_cast<int>(in.size())));
    ASSERT_EQ(ca.Entries().size(), 1u);
    EXPECT_EQ(ca.Entries()[0].caSystemId, 0x0B00);
    EXPECT_EQ(ca.Entries()[0].caPid, 0x0100);
    Bytes out = Rebuild(ca);
    EXPECT_EQ(out, cat);
    EXPECT_EQ(out[2], 0x0F);
    EXPECT_EQ(Bytes(out.begin() + 8, out.begin() + 14), (Bytes{0x09, 0x04, 0x0B, 0x00, 0xE1, 0x00}));
}

TEST(CaDescriptorSection, CatKeepsEveryDescriptorAndGrowsPast256) {
    Bytes cat = testing::Header(0x01, 0xFFFF, 0);
    for (int k = 0; k < 6; ++k) {
        Bytes d = testing::Descriptor(0x09, {0x0B, static_cast<uint8_t>(k), 0xE1, static_cast<uint8_t>(k)});
        cat.insert(cat.end(), d.begin(), d.end());
    }
    Bytes other = testing::Descriptor(0x65, {1, 2, 3});       // not a CA descriptor: kept as it is
    Bytes shortCa = testing::Descriptor(0x09, {0x0B, 0x00});  // too short to edit: kept as it is
    cat.insert(cat.end(), other.begin(), other.end());
    cat.insert(cat.end(), shortCa.begin(), shortCa.end());
    cat = testing::Close(cat);
    Bytes in = AsReceived(cat);
    CaDescriptorSection ca;
    ASSERT_TRUE(ca.Parse(true, in.data(), static_cast<int>(in.size())));
    ASSERT_EQ(ca.Entries().size(), 6u);
    EXPECT_EQ(Rebuild(ca), cat);
    for (auto& e : ca.Entries())
        e.privateText = std::string(128, 'a');
    Bytes out = Rebuild(ca);
    std::string why;
    EXPECT_TRUE(CheckPsiSection(out.data(), static_cast<int>(out.size()), &why)) << why;
    int sectionLength = ((out[1] & 0x0F) << 8) | out[2];
    EXPECT_GE(sectionLength, 0x100);
    EXPECT_EQ(sectionLength + 3, static_cast<int>(out.size()));
    EXPECT_EQ(Bytes(out.end() - 4 - 9, out.end() - 4), (Bytes{0x65, 3, 1, 2, 3, 0x09, 2, 0x0B, 0x00}));
}

TEST(CaDescriptorSection, PmtKeepsOtherDescriptorsAndTheStreamLoop) {
    Bytes pmt = testing::Header(0x02, 0x0011, 1);
    testing::Put16(pmt, 0xE101);
    Bytes info = testing::Descriptor(0x0A, {'e', 'n', 'g', 0});
    for (int k = 0; k < 2; ++k) {
        Bytes d = testing::Descriptor(0x09, {0x06, static_cast<uint8_t>(k), 0xE2, static_cast<uint8_t>(k)});
        info.insert(info.end(), d.begin(), d.end());
    }
    testing::Put16(pmt, 0xF000 | static_cast<int>(info.size()));
    pmt.insert(pmt.end(), info.begin(), info.end());
    Bytes es{0x02, 0xE1, 0x01, 0xF0, 0x00, 0x04, 0xE1, 0x02, 0xF0, 0x03, 0x52, 0x01, 0x07};
    pmt.insert(pmt.end(), es.begin(), es.end());
    pmt = testing::Close(pmt);
    Bytes prefix{0x01, 0x05};
    Bytes in = AsReceived(pmt, prefix);
    CaDescriptorSection ca;
    ASSERT_TRUE(ca.Parse(false, in.data(), static_cast<int>(in.size())));
    ASSERT_EQ(ca.Entries().size(), 2u);
    EXPECT_EQ(ca.Entries()[1].caPid, 0x0201);
    ca.Entries()[1].privateText = "0102";
    Bytes out = Rebuild(ca);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 2), prefix);
    Bytes section(out.begin() + 2, out.end());
    std::string why;
    EXPECT_TRUE(CheckPsiSection(section.data(), static_cast<int>(section.size()), &why)) << why;
    EXPECT_EQ(section[11], info.size() + 2);
    EXPECT_EQ(Bytes(section.begin() + 12, section.begin() + 18), (Bytes{0x0A, 4, 'e', 'n', 'g', 0}));
    EXPECT_EQ(Bytes(section.end() - 4 - es.size(), section.end() - 4), es);
}

TEST(CaDescriptorSection, RefusesWhatItCannotRebuild) {
    Bytes pmt = testing::MakePmt();
    Bytes asCat = AsReceived(pmt);
    CaDescriptorSection ca;
    EXPECT_FALSE(ca.Parse(true, asCat.data(), static_cast<int>(asCat.size())));
    Bytes out(kCaSectionBufferSize, 0x55);
    int n = 7;
    std::string why;
    EXPECT_FALSE(ca.Rebuild(out.data(), &n, &why));
    EXPECT_EQ(why, "The section is not a CAT.");
    EXPECT_EQ(n, 7);
    EXPECT_EQ(out[0], 0x55);

    Bytes cat = testing::MakeCat(2);
    EXPECT_FALSE(ca.Parse(true, cat.data(), static_cast<int>(cat.size()) - 5));  // cut short
    Bytes overrun = cat;
    overrun[9] = 0x40;  // first descriptor's length runs past the loop
    EXPECT_FALSE(ca.Parse(true, overrun.data(), static_cast<int>(overrun.size())));
    EXPECT_FALSE(ca.Parse(false, nullptr, 0));
}

TEST(CaDescriptorSection, PrivateDataCheck) {
    struct Case {
        std::string text;
        std::string message;
    };
    Case cases[] = {
        {std::string(128, 'f'), ""},
        {std::string(129, 'f'), "Private data length should not be more than 128."},
        {"abc", "Private data length should be even number."},
        {"zz", "Private data should be 0-9,a-f or A-F!"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CaDescriptorSection::CheckPrivateText(c.text), c.message) << c.text;
}

}  // namespace ca_descriptor_section_test
}  // namespace nms
