#pragma once
// Opening one window from another, always the same way: create it with the application as
// owner, keep it in its global, run it modally, free it, clear the global.
#include "dialogs.h"

#include <QDialog>

#include <memory>

// The window's constructor runs its FormCreate; `prepare` runs after it and before the
// window is shown (for instance to hand a picture to it). An exception from `prepare`
// frees the window without showing it and goes on to the caller's guard.
template <class Window, class Prepare>
int openModal(Window *&global, Prepare &&prepare)
{
    struct ClearGlobal {
        Window *&global;
        ~ClearGlobal() { global = nullptr; }
    } clear{global};
    // No parent widget: the window belongs to the application, and is freed here as soon
    // as its modal loop returns.
    std::unique_ptr<Window> window(new Window(nullptr));
    global = window.get();
    prepare(*window);
    return Dialogs::instance().execModal(*window);
}

template <class Window>
int openModal(Window *&global)
{
    return openModal(global, [](Window &) {});
}
