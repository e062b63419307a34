// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "ui/window_coordinator.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace storagecalc {

namespace {

std::size_t slotOf(HelpWindowKind kind) {
    return static_cast<std::size_t>(kind);
}

void centreOnScreen(QWidget* window) {
    const QScreen* screen =
        window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

// The window manager adds its frame and title bar only once the window is shown, so a window
// centred before that sits lower than centre by half its title bar. This centres it again as
// soon as its frame is known, once; without a window manager nothing changes.
class CentreOnceFramed : public QObject {
  public:
    explicit CentreOnceFramed(QWidget* window) : QObject(window) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = static_cast<QWidget*>(watched);
        switch (event->type()) {
            case QEvent::Show:
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::WindowActivate:
            case QEvent::UpdateRequest:
                if (window->frameGeometry().size() != window->size()) {
                    window->removeEventFilter(this);
                    centreOnScreen(window);
                    deleteLater();
                }
                break;
            default:
                break;
        }
        return false;
    }
};

// A window that a modal window blocks gives the keyboard straight back to the modal window
// when the desktop activates it (a click on it, say). X11 window managers and Windows keep the
// modal window in front themselves; a Wayland compositor may not know which window is modal
// (Qt 6.4 cannot tell it; Qt 6.8 can, through xdg-dialog, which KWin 6 heeds), and the keyboard
// would then go to a window that takes no input.
class ModalKeepsTheKeyboard : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowActivate && watched->isWidgetType()) {
            auto* window = static_cast<QWidget*>(watched);
            QWidget* modal = QApplication::activeModalWidget();
            if (modal != nullptr && window->isWindow() && window != modal && modal->isVisible()) {
                // Once the desktop has finished activating the other window.
                QTimer::singleShot(0, modal, [modal] {
                    modal->raise();
                    modal->activateWindow();
                });
            }
        }
        return false;
    }
};

// A window called up comes back from the taskbar if it was minimised, then to the front, with
// the keyboard. (A Wayland compositor decides itself whether to unminimise and activate.) Where
// the desktop activates no window on request (weston), none is asked for: Qt's X11 platform
// takes its own request as granted, and would send the keys to the window left behind.
void bringToFront(QWidget* window) {
    const bool activate = WindowSystem::activatesWindows();
    Qt::WindowStates state = window->windowState() & ~Qt::WindowMinimized;
    if (activate) {
        state |= Qt::WindowActive;
    }
    window->setWindowState(state);
    window->show();
    window->raise();
    if (activate) {
        window->activateWindow();
    }
}

}  // namespace

WindowCoordinator::WindowCoordinator(QObject* parent) : QObject(parent) {
    QCoreApplication::instance()->installEventFilter(new ModalKeepsTheKeyboard(this));
}

WindowCoordinator::~WindowCoordinator() {
    delete m_calculator.data();
    for (auto& window : m_helpWindows) {
        delete window.data();
    }
}

CalculatorWindow* WindowCoordinator::showCalculator() {
    if (m_calculator == nullptr) {
        m_calculator = new CalculatorWindow();
        m_windowSystem.adopt(m_calculator, WindowRole::calculator);
        connect(m_calculator, &CalculatorWindow::helpRequested, this,
                &WindowCoordinator::openHelpWindow);
        connect(m_calculator, &CalculatorWindow::exitRequested, this,
                &WindowCoordinator::exitProgram);
        m_calculator->ensurePolished();
        m_calculator->adjustSize();
        centreOnScreen(m_calculator);
        new CentreOnceFramed(m_calculator);
    }
    bringToFront(m_calculator);
    return m_calculator;
}

HelpWindow* WindowCoordinator::openHelpWindow(HelpWindowKind kind) {
    QPointer<HelpWindow>& window = m_helpWindows.at(slotOf(kind));
    if (window == nullptr) {
        window = new HelpWindow(kind);
        connect(window, &HelpWindow::mainWindowRequested, this, &WindowCoordinator::showCalculator);
        const bool about = kind == HelpWindowKind::about;
        // About stays off the taskbar, and outlives the main window.
        m_windowSystem.adopt(window, about ? WindowRole::about : WindowRole::helpWindow);
        if (about) {
            centreOnScreen(window);
            new CentreOnceFramed(window);
        }
    }
    bringToFront(window);
    return window;
}

void WindowCoordinator::exitProgram() {
    // Each window deletes itself once closed; the main window may be the one asking.
    for (auto& window : m_helpWindows) {
        if (window != nullptr) {
            window->close();
        }
    }
    if (m_calculator != nullptr) {
        m_calculator->close();
    }
    emit quitRequested();
}

HelpWindow* WindowCoordinator::helpWindow(HelpWindowKind kind) const {
    return m_helpWindows.at(slotOf(kind));
}

}  // namespace storagecalc
