#include "pagebase/form_binder.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "page_fixture.h"

namespace nms {
namespace form_binder_test {

FieldTable Table() {
    FieldTable t(4);
    t[0].key = "freq";
    t[0].label = "Output Freq.:";
    t[0].wire = Wire::kU32LE;
    t[0].codec = Codec::kKhzAsMhz;
    t[0].message = "Frequency error,over maximum!";
    t[1].key = "list";
    t[1].offset = 4;
    t[1].control = Control::kCombo;
    t[1].codec = Codec::kChoice;
    t[1].choices = {{"No", 0}, {"Yes", 1}};
    t[2].key = "pat";
    t[2].label = "Insert PAT";
    t[2].offset = 5;
    t[2].control = Control::kCheck;
    t[2].codec = Codec::kFlag;
    t[3].key = "name";
    t[3].offset = 6;
    t[3].wire = Wire::kBytes;
    t[3].length = 4;
    t[3].codec = Codec::kText;
    return t;
}

TEST(FormBinderTest, ShowsCollectsAndFocusesTheRefusedField) {
    test::EnsureApplication();
    const FieldTable table = Table();
    QWidget page;
    FormBinder binder(table, &page);
    ParamBlock block(10);
    block.Bytes() = {0x90, 0x3b, 0x07, 0x00, 7, 2, 'a', 'b', 0, 'z'};
    binder.Show(block);
    auto* freq = qobject_cast<QLineEdit*>(binder.Control("freq"));
    auto* list = qobject_cast<QComboBox*>(binder.Control("list"));
    auto* pat = qobject_cast<QCheckBox*>(binder.Control("pat"));
    ASSERT_TRUE(freq && list && pat);
    EXPECT_EQ(freq->text(), "474.000");
    EXPECT_EQ(list->currentIndex(), -1);  // 7 is not in the list
    EXPECT_TRUE(pat->isChecked());
    EXPECT_EQ(binder.Label("freq")->text(), "Output Freq.:");

    // Untouched: the bytes as read, the 2 of the check box and the byte after the name's NUL included.
    const std::vector<uint8_t> read = block.Bytes();
    EXPECT_TRUE(binder.Collect(block).ok);
    EXPECT_EQ(block.Bytes(), read);

    page.show();
    freq->setText("123456");
    list->setCurrentIndex(1);
    const CollectResult r = binder.Collect(block);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Frequency error,over maximum!");
    EXPECT_EQ(page.focusWidget(), freq);

    // A field the variant does not use goes back as read even when its control holds other text.
    binder.SetUsed("freq", false);
    EXPECT_TRUE(freq->isHidden());
    EXPECT_TRUE(binder.Collect(block).ok);
    EXPECT_EQ(block.Bytes()[0], 0x90);
    EXPECT_EQ(block.Bytes()[4], 1);
}

}  // namespace form_binder_test
}  // namespace nms
