// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>
#include <QPointer>
#include <array>

#include "ui/calculator_window.h"
#include "ui/help_windows.h"
#include "ui/window_system.h"

namespace storagecalc {

// Knows the program's top-level windows: the one main window, created anew when it is asked
// for after being closed, and at most one of each help window.
class WindowCoordinator : public QObject {
    Q_OBJECT
  public:
    explicit WindowCoordinator(QObject* parent = nullptr);
    ~WindowCoordinator() override;

    // Shows the main window in front, creating it (in its start-up state, centred) if needed.
    CalculatorWindow* showCalculator();
    // Shows the help window of that kind in front, creating it if needed.
    HelpWindow* openHelpWindow(HelpWindowKind kind);
    // Closes every window and asks the program to end.
    void exitProgram();

    CalculatorWindow* calculator() const { return m_calculator; }
    HelpWindow* helpWindow(HelpWindowKind kind) const;

  signals:
    void quitRequested();

  private:
    // Outlives the windows, which the destructor deletes first.
    WindowSystem m_windowSystem;
    QPointer<CalculatorWindow> m_calculator;
    std::array<QPointer<HelpWindow>, 3> m_helpWindows;
};

}  // namespace storagecalc
