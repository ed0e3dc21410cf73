// The program's own message boxes: captions, buttons and the default button.
#include "platform/qt_prompt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "qt_app_environment.h"

namespace nms {
namespace qt_prompt_test {

struct Seen {
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
};

// Shows the box through the prompt, notes what it looks like and answers it with Escape.
Seen ShowAndNote(const std::string& text, const std::string& caption, unsigned flags, int* result) {
    Seen seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.title = box->windowTitle();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text().remove('&');
        seen.buttons.sort();
        if (box->defaultButton())
            seen.defaultButton = box->defaultButton()->text().remove('&');
        box->reject();
    });
    QtPrompt prompt;
    *result = prompt.Show(PromptRequest{text, caption, flags});
    return seen;
}

TEST(QtPrompt, CaptionsButtonsAndDefaults) {
    int result = 0;
    // A box that names no caption carries the application's name.
    Seen plain = ShowAndNote("Please delete device first!", std::string(), MB_OK, &result);
    EXPECT_EQ(plain.title, "Velmora");
    EXPECT_EQ(plain.buttons, QStringList({"OK"}));

    Seen confirm = ShowAndNote("Sure to delete 'A' ?", "Confirm",
                               MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2, &result);
    EXPECT_EQ(confirm.title, "Confirm");
    EXPECT_EQ(confirm.icon, QMessageBox::Question);
    EXPECT_EQ(confirm.buttons, QStringList({"Cancel", "OK"}));
    EXPECT_EQ(confirm.defaultButton, "Cancel");
    EXPECT_EQ(result, IDCANCEL);
}

}  // namespace qt_prompt_test
}  // namespace nms
