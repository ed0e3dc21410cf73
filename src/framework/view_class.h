// What the framework needs to know of a window class to create it: a factory and whether the class is a
// tab window (which decides the kind of a node built from it).
#pragma once

#include <QWidget>
#include <functional>
#include <type_traits>

namespace nms {

class TTabWnd;

struct TViewClass {
    std::function<QWidget*(QWidget* parent)> create;
    bool isTabWnd = false;

    explicit operator bool() const { return static_cast<bool>(create); }

    template <class T>
    static TViewClass Of();
};

}  // namespace nms

#include "framework/tab_wnd.h"

namespace nms {

template <class T>
TViewClass TViewClass::Of() {
    static_assert(std::is_base_of_v<QWidget, T>, "a view class is a widget");
    TViewClass cls;
    cls.create = [](QWidget* parent) -> QWidget* {
        if constexpr (std::is_constructible_v<T, QWidget*>) {
            return new T(parent);
        } else {
            auto* window = new T();
            window->setParent(parent);
            return window;
        }
    };
    cls.isTabWnd = std::is_base_of_v<TTabWnd, T>;
    return cls;
}

}  // namespace nms
