// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// X11 and Wayland desktops: window managers and compositors frame the windows from Qt's window
// flags alone.
#include "ui/window_system.h"

#include <QWidget>

namespace storagecalc {

struct WindowSystem::Native {};

void WindowSystem::prepareProcess() {}

QStringList WindowSystem::dialogFontFamilies() {
    // Liberation Sans has Arial's metrics; the others come near them.
    return {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica"),
            QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")};
}

WindowSystem::WindowSystem() = default;
WindowSystem::~WindowSystem() = default;

void WindowSystem::adopt(QWidget* /*window*/, WindowRole /*role*/) {
    // A dialog is transient for the program's leader window, which keeps about off X11
    // taskbars already.
}

}  // namespace storagecalc
