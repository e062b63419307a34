// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "ui/session_platform.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGlobal>
#include <cstring>

#include <wayland-client.h>

namespace storagecalc {

namespace {

bool g_sessionActivatesWindows = true;

std::optional<QByteArray> userPlatform(int argc, char* argv[]) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) {
            return QByteArray(argv[i + 1]);
        }
    }
    QByteArray variable = qgetenv("QT_QPA_PLATFORM");
    if (!variable.isEmpty()) {
        return variable;
    }
    return std::nullopt;
}

void onGlobal(void* data, wl_registry* /*registry*/, uint32_t /*name*/, const char* interface,
              uint32_t /*version*/) {
    auto* offer = static_cast<SessionOffer*>(data);
    if (std::strcmp(interface, "zxdg_decoration_manager_v1") == 0) {
        offer->compositorDrawsTitleBars = true;
    } else if (std::strcmp(interface, "xdg_activation_v1") == 0) {
        offer->compositorActivatesWindows = true;
    }
}

void onGlobalRemove(void* /*data*/, wl_registry* /*registry*/, uint32_t /*name*/) {}

// Asks the compositor (the one Qt would connect to) for its globals, and leaves.
void readCompositor(SessionOffer& offer) {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        return;
    }
    static const wl_registry_listener listener = {onGlobal, onGlobalRemove};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &offer);
    offer.waylandCompositor = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
}

}  // namespace

QByteArray chooseQtPlatform(const SessionOffer& offer) {
    if (offer.userPlatform || !offer.waylandCompositor) {
        return {};
    }
    if (offer.compositorDrawsTitleBars) {
        return QByteArrayLiteral("wayland;xcb");
    }
    if (offer.x11Display) {
        return QByteArrayLiteral("xcb;wayland");
    }
    // Without Xwayland, Wayland all the same, with the toolkit's title bars.
    return {};
}

bool desktopActivatesWindows(const SessionOffer& offer) {
    return !offer.waylandCompositor || offer.compositorActivatesWindows;
}

void chooseSessionPlatform(int argc, char* argv[]) {
    SessionOffer offer;
    offer.userPlatform = userPlatform(argc, argv);
    offer.x11Display = !qgetenv("DISPLAY").isEmpty();
    if (!offer.userPlatform &&
        (!qgetenv("WAYLAND_DISPLAY").isEmpty() || qgetenv("XDG_SESSION_TYPE") == "wayland")) {
        readCompositor(offer);
    }
    const QByteArray platform = chooseQtPlatform(offer);
    if (!platform.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", platform);
    }
    g_sessionActivatesWindows = desktopActivatesWindows(offer);
}

bool sessionActivatesWindows() {
    return g_sessionActivatesWindows;
}

void tieDialogToOwner(QWidget* dialog, QWidget* owner) {
    if (owner == nullptr || QGuiApplication::platformName() != u"wayland") {
        return;
    }
    dialog->winId();
    owner->winId();
    dialog->windowHandle()->setTransientParent(owner->windowHandle());
}

}  // namespace storagecalc
