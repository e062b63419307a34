// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <optional>

class QWidget;

namespace storagecalc {

// What the desktop session offers the program, read before Qt chooses its platform.
struct SessionOffer {
    // The user's own choice (QT_QPA_PLATFORM, or -platform on the command line), if any.
    std::optional<QByteArray> userPlatform;
    // A Wayland compositor answered, and whether it draws the windows' title bars itself
    // (it offers xdg-decoration).
    bool waylandCompositor = false;
    bool compositorDrawsTitleBars = false;
    // An X server is there too (Xwayland, in a Wayland session).
    bool x11Display = false;
    // Whether the compositor brings a window to the front with the keyboard when a program asks
    // (it offers xdg-activation; weston does not, nor does its X11 window manager).
    bool compositorActivatesWindows = false;
};

// The platforms for Qt to try, best first; empty leaves Qt's own choice. Native Wayland where
// the compositor draws the title bars from the window's size hints; where the toolkit would
// have to draw them itself (weston, GNOME's mutter) its title bars show buttons the windows
// must not have, and cut short dialog titles, so X11 through Xwayland then, as the window
// manager there draws them from the window's flags.
QByteArray chooseQtPlatform(const SessionOffer& offer);

// Whether the desktop brings a window to the front, with the keyboard, when the program asks:
// every X11 desktop and Wayland compositor does but one without xdg-activation.
bool desktopActivatesWindows(const SessionOffer& offer);

// Reads the session (environment, command line, the Wayland compositor's globals) and sets
// QT_QPA_PLATFORM for the choice above. Call before the application object exists.
void chooseSessionPlatform(int argc, char* argv[]);

// desktopActivatesWindows() for the session chooseSessionPlatform() read; true before it runs.
bool sessionActivatesWindows();

// Makes a dialog without a parent transient for its owner where the window system has no other
// way to tie it to the program: on Wayland, where there is no leader window as on X11, a dialog
// transient for nothing is a window of its own, with a taskbar entry.
void tieDialogToOwner(QWidget* dialog, QWidget* owner);

}  // namespace storagecalc
