// One QApplication for a GUI test program, made before the first test and deleted after the last, while
// Qt's own globals still exist.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

namespace nms {

class QtAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "gui_test";
        static char* argv[] = {name, nullptr};
        m_app = new QApplication(argc, argv);
    }
    void TearDown() override {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication* m_app = nullptr;
};

inline const ::testing::Environment* const g_qtAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

}  // namespace nms
