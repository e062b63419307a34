// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// Windows: the running copy's mutex, the window menus of fixed windows, and about's taskbar
// entry.
#include <QtCore/qt_windows.h>
#include <QEvent>
#include <QEventLoopLocker>
#include <QGuiApplication>
#include <QWidget>

#include "product.h"
#include "ui/window_system.h"

namespace storagecalc {

namespace {

// Windows only greys out the window menu's Size command of a window without a sizing border; a
// fixed window offers none at all. Done again for every native window Qt makes for it.
class NoSizeCommand : public QObject {
  public:
    explicit NoSizeCommand(QWidget* window) : QObject(window) {
        window->installEventFilter(this);
        if (window->internalWinId() != 0) {
            removeFrom(window);
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WinIdChange) {
            removeFrom(static_cast<QWidget*>(watched));
        }
        return false;
    }

  private:
    static void removeFrom(QWidget* window) {
        if (QGuiApplication::platformName() == u"windows" && window->internalWinId() != 0) {
            DeleteMenu(GetSystemMenu(reinterpret_cast<HWND>(window->internalWinId()), FALSE),
                       SC_SIZE, MF_BYCOMMAND);
        }
    }
};

}  // namespace

// Windows gives every window without an owner a taskbar button; about is owned by this hidden
// window rather than by the main window, so that it still outlives the main window.
struct WindowSystem::Native {
    QWidget aboutOwner;
};

void WindowSystem::prepareProcess(int /*argc*/, char* /*argv*/[]) {
    // Tells the installer and the uninstaller that a copy runs, wherever it was started from
    // (the installed one or the archive's). A second copy is not refused: the program keeps no
    // data. In the session's own namespace, as the installation is per user. Windows closes the
    // handle when the program ends.
    [[maybe_unused]] const HANDLE running = CreateMutexW(nullptr, FALSE, product::kRunningMutex);
}

QStringList WindowSystem::dialogFontFamilies() {
    return {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
}

bool WindowSystem::activatesWindows() {
    return true;
}

WindowSystem::WindowSystem() : m_native(std::make_unique<Native>()) {
    m_native->aboutOwner.setObjectName(QStringLiteral("aboutOwner"));
    m_native->aboutOwner.winId();  // an owner is a native window
}

WindowSystem::~WindowSystem() = default;

void WindowSystem::adopt(QWidget* window, WindowRole role) {
    if (role == WindowRole::about) {
        window->setParent(&m_native->aboutOwner, window->windowFlags());
        // An owned window does not keep the program running: a lock does while it is open.
        auto* running = new QEventLoopLocker();
        QObject::connect(window, &QObject::destroyed, [running] { delete running; });
    }
    if (role != WindowRole::helpWindow) {
        new NoSizeCommand(window);
    }
}

}  // namespace storagecalc
