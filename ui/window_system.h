// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QStringList>
#include <memory>

class QWidget;

namespace storagecalc {

// What a top-level window is to the window system.
enum class WindowRole { calculator, helpWindow, about };

// Everything the program does differently on one platform, behind one interface: each platform
// has its own implementation file (window_system_windows.cpp, window_system_unix.cpp), which
// the build chooses. The window classes only say what they want.
class WindowSystem {
  public:
    // Before the application object exists, once, with the command line Qt will read: what the
    // process must do first (on Windows, take the mutex that tells the installer a copy runs; in
    // a Wayland session, choose Qt's platform by what the compositor offers).
    static void prepareProcess(int argc, char* argv[]);
    // The dialog font's families, best first: the face with Arial's metrics that the system has.
    static QStringList dialogFontFamilies();
    // Whether the desktop brings a window to the front, with the keyboard, when the program asks.
    static bool activatesWindows();

    WindowSystem();
    ~WindowSystem();
    WindowSystem(const WindowSystem&) = delete;
    WindowSystem& operator=(const WindowSystem&) = delete;

    // Gives a new top-level window of that role the title bar, window menu and taskbar entry it
    // is designed with, here; kept when its native window is made anew.
    void adopt(QWidget* window, WindowRole role);

  private:
    struct Native;
    std::unique_ptr<Native> m_native;
};

}  // namespace storagecalc
