// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QWidget>

namespace storagecalc {

enum class HelpWindowKind { instructions, glossary, about };

// One of the three windows that explain the calculator. Its only control is the OK button,
// Command1, which asks for the main window and then closes this one for good.
class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(HelpWindowKind kind);

    HelpWindowKind kind() const { return m_kind; }

  signals:
    void mainWindowRequested();

  private:
    void Command1_Click();

    HelpWindowKind m_kind;
};

}  // namespace storagecalc
