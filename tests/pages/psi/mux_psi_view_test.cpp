#include "pages/psi/mux_psi_view.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "page_fixture.h"
#include "pages/mux/program_tree.h"
#include "pages/psi/add_element_dlg.h"
#include "pages/psi/descriptor_dlg.h"
#include "pages/psi/psi_section_checker.h"
#include "psi_device_sim.h"
#include "psi_sections.h"

namespace nms {
namespace mux_psi_view_test {

using testing::Bytes;

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

PsiItem* FindItem(PsiItem* under, const std::string& prefix, int n = 0) {
    std::vector<PsiItem*> stack{under};
    while (!stack.empty()) {
        PsiItem* item = stack.back();
        stack.pop_back();
        bool match = item->text == prefix || StartsWith(item->text, (prefix + "(").c_str()) ||
                     (prefix.back() == '(' && StartsWith(item->text, prefix.c_str()));
        if (item != under && match && n-- == 0)
            return item;
        for (auto it = item->children.rbegin(); it != item->children.rend(); ++it)
            stack.push_back(it->get());
    }
    return nullptr;
}

class MuxPsiViewTest : public ::testing::Test {
protected:
    // Takes the request the page queued and checks it.
    test::SentPacket Sent(uint8_t command) {
        auto sent = fx.TakeSentPacket();
        EXPECT_TRUE(sent.has_value());
        if (!sent)
            return {};
        EXPECT_EQ(sent->command, command);
        return *sent;
    }
    // Runs a whole multi-channel read of channel byte ch with the given tables.
    void ReadAll(uint8_t ch, const Bytes& sdt) {
        Sent(39);
        fx.FeedReply(39, Cat({ch}, pat));
        Sent(41);
        fx.FeedReply(41, Cat({ch, 0, 0, 0, 0}, pmt));
        Sent(45);
        fx.FeedReply(45, Cat({ch}, cat));
        Sent(47);
        fx.FeedReply(47, Cat({ch}, nit));
        Sent(43);
        fx.FeedReply(43, Cat({ch}, sdt));
    }
    void Click(PsiItem* item) {
        QTreeWidgetItem* widget = page.WidgetItem(item);
        ASSERT_NE(widget, nullptr);
        page.m_tree->setCurrentItem(widget);
        page.OnClickTree(widget);
    }

    struct PsiCounts {
        int pat, pmts, cat, nit, sdt;
    };
    PsiCounts Counts() {
        CMuxPsiModel& m = page.Model();
        return {m.Tree().ChildCount(m.PatRoot()), m.Tree().ChildCount(m.PmtsRoot()),
                m.Tree().ChildCount(m.CatRoot()), m.Tree().ChildCount(m.NitRoot()),
                m.Tree().ChildCount(m.SdtRoot())};
    }

    test::PageFixture fx;
    CMuxPsiView page;
    Bytes pat = testing::MakePat(1, 0x0421, false);
    Bytes pmt = testing::MakePmt(1);
    Bytes cat = testing::MakeCat(2);
    Bytes nit = testing::MakeNit();
    Bytes sdt = testing::MakeSdt(3);
};

TEST_F(MuxPsiViewTest, ServiceNameEditIsWrittenBackAndReadAgain) {
    fx.Bind(&page, 17);
    EXPECT_FALSE(page.m_channelCombo->isHidden());
    EXPECT_EQ(page.m_channelCombo->count(), 4);
    EXPECT_EQ(page.m_channelCombo->itemText(3), "Channel D");
    ReadAll(0, sdt);
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(page.m_tree->topLevelItem(0)->text(0), "PSI/SI Info");

    PsiItem* name = FindItem(page.Model().SdtRoot(), "service_name(", 1);
    ASSERT_NE(name, nullptr);
    Click(name);
    EXPECT_EQ(page.m_nameEdit->text().toStdString(), FieldName(name->text));
    EXPECT_TRUE(page.m_valueEdit->isEnabled());
    page.m_valueEdit->setText("Nachrichten");
    page.OnSet();
    ASSERT_EQ(fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(fx.Prompt().shown[0].caption, "Confirm");
    EXPECT_EQ(Sent(40).payload, Cat({0}, pat));
    fx.FeedReply(40, {});
    EXPECT_EQ(Sent(42).payload, Cat({0, 0}, pmt));
    fx.FeedReply(42, {});
    EXPECT_EQ(Sent(46).payload, Cat({0}, cat));
    fx.FeedReply(46, {});
    EXPECT_EQ(Sent(48).payload, Cat({0}, nit));
    fx.FeedReply(48, {});
    Bytes written = Sent(44).payload;
    fx.FeedReply(44, {});
    EXPECT_FALSE(page.IsBusy());
    Bytes section(written.begin() + 1, written.end());
    std::string why;
    EXPECT_TRUE(CheckPsiSection(section.data(), static_cast<int>(section.size()), &why)) << why;

    // The device now serves what was written: a second read shows the new name.
    page.OnGet();
    ReadAll(0, section);
    PsiItem* again = FindItem(page.Model().SdtRoot(), "service_name(", 1);
    EXPECT_EQ(again->text, "service_name(11bytes):Nachrichten");
    EXPECT_EQ(page.WidgetItem(again)->text(0), "service_name(11bytes):Nachrichten");
}

TEST_F(MuxPsiViewTest, ARefusedRequestStartsNoWait) {
    fx.Bind(&page, 17);
    ReadAll(0, sdt);
    ASSERT_FALSE(page.IsBusy());
    // The device drops off line while the operator reads the confirmation: the write is refused by the
    // link, so the page must not wait 20 s for a reply that cannot come.
    fx.Prompt().onShow = [this](const PromptRequest&) { fx.Device()->status.store(0); };
    page.OnSet();
    fx.Prompt().onShow = nullptr;
    EXPECT_FALSE(fx.TakeSentPacket().has_value());
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(fx.Device()->busy.load(), 0);
    // Back on line, a reply to the refused write is not taken for a running chain.
    fx.Device()->status.store(3);
    fx.FeedReply(40, {});
    EXPECT_FALSE(fx.TakeSentPacket().has_value());
    EXPECT_FALSE(page.IsBusy());
}

TEST_F(MuxPsiViewTest, ClickingAContainerKeepsTheBoxesAndClosesTheValue) {
    fx.Bind(&page, 17);
    ReadAll(0, sdt);
    PsiItem* version = FindItem(page.Model().PatRoot(), "version_number");
    Click(version);
    EXPECT_EQ(page.m_nameEdit->text(), "version_number(5bits)0x");
    EXPECT_TRUE(page.m_valueEdit->isEnabled());
    std::string shown = page.m_valueEdit->text().toStdString();
    Click(FindItem(page.Model().PatRoot(), "table_info"));
    EXPECT_EQ(page.m_nameEdit->text(), "version_number(5bits)0x");
    EXPECT_EQ(page.m_valueEdit->text().toStdString(), shown);
    EXPECT_FALSE(page.m_valueEdit->isEnabled());
    // The value was not the container's: the next click changes nothing.
    Click(FindItem(page.Model().PatRoot(), "section_length"));
    EXPECT_EQ(version->text, "version_number(5bits)0x:" + shown);
    EXPECT_TRUE(fx.Prompt().shown.empty());
}

TEST_F(MuxPsiViewTest, RefusedValueStopsSetAndLateRepliesAreIgnored) {
    fx.Bind(&page, 17);
    ReadAll(0, sdt);
    Click(FindItem(page.Model().PatRoot(), "version_number"));
    page.m_valueEdit->setText("3");
    page.OnSet();
    ASSERT_EQ(fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(fx.Prompt().shown[0].text, "The value's length is invalid!");
    EXPECT_FALSE(fx.TakeSentPacket());

    // Cancelled confirmation: nothing goes out.
    page.m_valueEdit->setText("04");
    fx.Prompt().answers = {IDCANCEL};
    page.OnSet();
    EXPECT_FALSE(fx.TakeSentPacket());

    page.OnGet();
    Sent(39);
    EXPECT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    EXPECT_FALSE(page.IsBusy());
    fx.FeedReply(39, Cat({0}, pat));
    EXPECT_FALSE(fx.TakeSentPacket());
}

// "Parse" waits for its reply to start the read from the transport stream. When that reply comes after the
// wait ran out, it starts nothing: the tables read before stay in the tree as they were, and nothing is
// asked.
TEST_F(MuxPsiViewTest, AParseReplyAfterItsTimeOutKeepsTheTablesAndReadsNothing) {
    fx.Bind(&page, 16);
    EXPECT_EQ(Sent(39).payload, Bytes{2});
    fx.FeedReply(39, Cat({2}, pat));
    EXPECT_EQ(Sent(41).payload, (Bytes{2, 1}));
    fx.FeedReply(41, Cat({1, 1}, pmt));
    EXPECT_EQ(Sent(45).payload, Bytes{2});
    fx.FeedReply(45, Cat({2}, cat));
    EXPECT_EQ(Sent(47).payload, Bytes{2});
    fx.FeedReply(47, Cat({2}, nit));
    EXPECT_EQ(Sent(43).payload, Bytes{2});
    fx.FeedReply(43, Cat({2}, sdt));
    ASSERT_FALSE(page.IsBusy());
    EXPECT_EQ(page.m_tree->topLevelItem(0)->text(0), "PSI/SI(Local)");
    PsiCounts before = Counts();
    ASSERT_GT(before.pat, 0);
    ASSERT_EQ(before.pmts, 1);

    page.OnParse();
    test::SentPacket parse = Sent(32);
    EXPECT_TRUE(parse.payload.empty());
    ASSERT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    fx.FeedReply(32, {});
    EXPECT_FALSE(fx.TakeSentPacket().has_value());
    EXPECT_FALSE(page.IsBusy());
    PsiCounts after = Counts();
    EXPECT_EQ(after.pat, before.pat);
    EXPECT_EQ(after.pmts, before.pmts);
    EXPECT_EQ(after.cat, before.cat);
    EXPECT_EQ(after.nit, before.nit);
    EXPECT_EQ(after.sdt, before.sdt);
    EXPECT_EQ(page.WidgetItem(page.Model().PatRoot())->childCount(), before.pat);
    // The tables are still there to be written back.
    page.OnSet();
    EXPECT_EQ(Sent(40).payload, pat);
}

// A stand-in for the input channel page: its output tree lists the routed programs.
class FakeChannelPage : public CFormTemplateView, public IOutputProgramSource {
public:
    FakeChannelPage() {
        ProgramTreeNode root("Output-program");
        root.Add("Channel 1", 1).Add("1 News", 1);
        root.Add("Channel 2", 2);
        m_tree.Reset({root});
    }
    const IOutputProgramSource* OutputProgramSource() const override { return this; }
    const ProgramTree& OutputProgramTree() const override { return m_tree; }
    const ProgramRecord* ProgramAt(int, int) const override { return nullptr; }
    ProgramTree m_tree;
};

TEST_F(MuxPsiViewTest, Variant0TakesItsProgramsFromTheFirstPage) {
    FakeChannelPage first;
    page.SetFirstPage(&first);
    fx.Bind(&page, 0);
    ASSERT_EQ(page.Model().PmtsRoot()->children.size(), 1u);
    EXPECT_EQ(page.Model().PmtsRoot()->children[0]->text, "ASI 1: 1 News");
    EXPECT_EQ(page.Model().PmtsRoot()->children[0]->data, 0x0101u);
    EXPECT_EQ(Sent(39).payload, Bytes{0});
    fx.FeedReply(39, pat);
    EXPECT_EQ(Sent(41).payload, (Bytes{1, 1}));
    fx.FeedReply(41, Cat({1, 1}, pmt));
    Sent(45);
    EXPECT_EQ(page.Model().PmtsRoot()->children[0]->children.size(), 18u);
}

// The whole road against the tables of an "ASI Multiplexer(8ASI)": read, edit a service name, write,
// read again.
TEST_F(MuxPsiViewTest, AsiMultiplexerRoundTrip) {
    test::PsiSimTables device;
    auto serve = [&] {
        int requests = 0;
        while (auto sent = fx.TakeSentPacket()) {
            ASSERT_TRUE(sent->crcOk);
            auto reply = device.Handle(sent->command, sent->b, sent->c, sent->payload);
            ASSERT_TRUE(reply.has_value()) << int(sent->command);
            fx.FeedReply(sent->command, reply->payload, reply->b, reply->c);
            ASSERT_LT(++requests, 50);
        }
    };
    FakeChannelPage first;
    ProgramTreeNode root("Output-program");
    ProgramTreeNode& channel = root.Add("Channel 1", 1);
    channel.Add("1 News", 1);
    channel.Add("2 Sport", 2);
    first.m_tree.Reset({root});
    page.SetFirstPage(&first);
    fx.Bind(&page, 0);
    serve();
    EXPECT_FALSE(page.IsBusy());
    ASSERT_EQ(page.Model().PmtsRoot()->children.size(), 2u);
    EXPECT_EQ(page.Model().PmtsRoot()->children[1]->children.size(), 18u);

    PsiItem* name = FindItem(page.Model().SdtRoot(), "service_name(", 0);
    ASSERT_NE(name, nullptr);
    Click(name);
    page.m_valueEdit->setText("Velmora 1");
    page.OnSet();
    serve();
    EXPECT_EQ(device.writes, 6);  // PAT, two PMTs, CAT, NIT, SDT
    EXPECT_TRUE(fx.Prompt().shown.size() == 1u && fx.Prompt().shown[0].caption == "Confirm");
    std::string why;
    EXPECT_TRUE(CheckPsiSection(device.sdt.data(), static_cast<int>(device.sdt.size()), &why)) << why;

    page.OnGet();
    serve();
    PsiItem* again = FindItem(page.Model().SdtRoot(), "service_name(", 0);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->text, "service_name(9bytes):Velmora 1");
    EXPECT_FALSE(page.Model().SdtRoot()->locked);
}

TEST_F(MuxPsiViewTest, ContextMenuCommandsEditTheTree) {
    fx.Bind(&page, 17);
    ReadAll(0, sdt);
    PsiItem* node = page.Model().PmtsRoot()->children[0].get();
    PsiItem* components = FindItem(node, "components");
    Click(components);
    QRect rect = page.m_tree->visualItemRect(page.WidgetItem(components));
    EXPECT_EQ(page.MenuEntryAt(rect.center()).command, ID_PSI_ADD_ELEMENT);
    Click(FindItem(node, "program_number"));
    rect = page.m_tree->visualItemRect(page.WidgetItem(FindItem(node, "program_number")));
    EXPECT_EQ(page.MenuEntryAt(rect.center()).command, 0);

    // Add an element through its dialog, delete a descriptor and a service; every table stays sound.
    page.m_runMenu = [](const PsiMenuEntry& entry, const QPoint&) { return entry.command; };
    page.m_runElementDialog = [](CAddElementDlg& dialog) {
        dialog.m_typeEdit->setText("1b");
        dialog.m_pidEdit->setText("0222");
        dialog.OnOK();
        return dialog.result() == QDialog::Accepted;
    };
    auto menuOn = [&](PsiItem* item) {
        Click(item);
        page.OnContextMenu(page.m_tree->visualItemRect(page.WidgetItem(item)).center());
    };
    menuOn(components);
    ASSERT_EQ(components->children.size(), 4u);
    EXPECT_EQ(components->children[3]->text, "stream_type(8bits)0x:1b");
    menuOn(FindItem(node, "descriptor_tag"));
    menuOn(FindItem(page.Model().SdtRoot(), "service_id"));
    EXPECT_EQ(FindItem(page.Model().SdtRoot(), "services ")->children.size(), 2u);
    page.OnContextMenu(QPoint(-100, -100));  // off every item: nothing

    // The commands no menu offers keep the lengths too.
    page.m_runInsertDialog = [](CDescriptorDlg& dialog) {
        dialog.m_tagEdit->setText("0e");
        dialog.m_lengthEdit->setText("3");
        dialog.m_contentEdit->setText("c012");
        dialog.OnOK();
        return dialog.result() == QDialog::Accepted;
    };
    page.m_runMenu = [](const PsiMenuEntry&, const QPoint&) { return int(ID_PSI_INSERT_DESCRIPTOR); };
    PsiItem* info = FindItem(node, "program_info_descriptors");
    menuOn(info);
    ASSERT_FALSE(info->children.empty());
    EXPECT_EQ(info->children.back()->children[1]->text, "descriptor_data(hex)(3bytes)0x:c01200");
    page.m_runMenu = [](const PsiMenuEntry&, const QPoint&) { return int(ID_PSI_REMOVE_DESCRIPTOR); };
    size_t before = info->children.size();
    menuOn(info->children.front().get());
    EXPECT_EQ(info->children.size(), before - 1);

    fx.Prompt().shown.clear();
    page.OnSet();
    ASSERT_EQ(fx.Prompt().shown.size(), 1u);  // only the confirmation: every section passed the check
    Sent(40);
    fx.FeedReply(40, {});
    Bytes written = Sent(42).payload;
    Bytes section(written.begin() + 2, written.end());
    std::string why;
    EXPECT_TRUE(CheckPsiSection(section.data(), static_cast<int>(section.size()), &why)) << why;
}

}  // namespace mux_psi_view_test
}  // namespace nms
