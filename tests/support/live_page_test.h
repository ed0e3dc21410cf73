// A test fixture for one page bound to a LiveDevice: the page is opened at a given size, waits are the
// device's, clicks wait until the page is idle again, and with NMS_SHOT_DIR set a page can be saved there as
// a picture. A test starts `live` (with its handler) and then calls Bind.
#pragma once

#include <gtest/gtest.h>

#include <QPushButton>
#include <QString>
#include <QTest>
#include <cstdlib>
#include <memory>

#include "live_device.h"
#include "pagebase/form_template_view.h"

namespace nms::test {

class LivePageTest : public ::testing::Test {
protected:
    // Binds a new page of the variant to the started device and waits for its first exchange.
    template <class Page>
    Page* Bind(int pageParam, int width, int height) {
        auto* created = new Page;
        page.reset(created);
        page->resize(width, height);
        page->SetPageParam(pageParam);
        page->SetDevice(live->Device());
        page->show();
        WaitIdle();
        return created;
    }
    void TearDown() override {
        page.reset();
        live.reset();
    }
    void WaitIdle() {
        QTest::qWait(50);
        ASSERT_TRUE(live->WaitIdle(page.get()));
        QTest::qWait(50);
    }
    void Click(QPushButton* button) {
        button->click();
        WaitIdle();
    }
    void Shot(const char* name) {
        if (const char* dir = std::getenv("NMS_SHOT_DIR"))
            page->grab().save(QString("%1/%2.png").arg(dir, name));
    }

    std::unique_ptr<LiveDevice> live;
    std::unique_ptr<CFormTemplateView> page;
};

}  // namespace nms::test
