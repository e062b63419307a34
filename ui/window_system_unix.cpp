// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// X11 and Wayland desktops: window managers and compositors frame the windows from Qt's window
// flags and size limits alone. In a Wayland session the platform is chosen by what the
// compositor offers (session_platform.cpp).
#include "ui/window_system.h"

#include <QPointer>
#include <QWidget>

#include "ui/session_platform.h"

namespace storagecalc {

struct WindowSystem::Native {
    // The main window, which About is tied to on Wayland.
    QPointer<QWidget> calculator;
};

void WindowSystem::prepareProcess(int argc, char* argv[]) {
    chooseSessionPlatform(argc, argv);
}

QStringList WindowSystem::dialogFontFamilies() {
    // Liberation Sans has Arial's metrics; the others come near them.
    return {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica"),
            QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")};
}

bool WindowSystem::activatesWindows() {
    return sessionActivatesWindows();
}

WindowSystem::WindowSystem() : m_native(std::make_unique<Native>()) {}
WindowSystem::~WindowSystem() = default;

void WindowSystem::adopt(QWidget* window, WindowRole role) {
    if (role == WindowRole::calculator) {
        m_native->calculator = window;
    } else if (role == WindowRole::about) {
        // On X11 a dialog is transient for the program's leader window, which keeps About off
        // the taskbars already; Wayland has no leader.
        tieDialogToOwner(window, m_native->calculator);
    }
}

}  // namespace storagecalc
