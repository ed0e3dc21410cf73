// One QApplication for the GUI tests of this folder.
#pragma once

#include <QApplication>

namespace nms::test {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "framework_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = QApplication::instance() != nullptr
                                   ? static_cast<QApplication*>(QApplication::instance())
                                   : new QApplication(argc, argv);
    return *app;
}

// Declared as a fixture's first member, so the application exists before any widget member.
struct AppGuard {
    AppGuard() { App(); }
};

}  // namespace nms::test
