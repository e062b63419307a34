// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QMainWindow>
#include <array>

#include "core/calculator_controller.h"
#include "ui/help_windows.h"

class QAction;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;

namespace storagecalc {

// The main window: the six lists, the two results, the buttons, the menus and the pictures.
// Every user action goes to the controller operation of the same name; the window then copies
// the controller's state into its widgets and carries out the returned outcome.
class CalculatorWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit CalculatorWindow(QWidget* parent = nullptr);

    const CalculatorController& controller() const { return m_controller; }
    QComboBox* list(ListId id) const { return m_lists.at(indexOf(id)); }

  signals:
    void helpRequested(storagecalc::HelpWindowKind kind);
    void exitRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    using Operation = ControllerOutcome (CalculatorController::*)();

    QWidget* buildClientArea();
    void buildMenus();
    QGroupBox* buildFrame(QWidget* parent, const char* name, const QRect& geometry,
                          const char* caption);
    void buildList(QGroupBox* frame, ListId id, const char* name, int width);
    void buildResults(QWidget* frame);
    void buildPictures(QWidget* parent);
    void setUpTabOrder();
    // The menu command whose shortcut key is, if any.
    QAction* shortcutAction(const QKeyEvent* key) const;

    void forward(Operation operation);
    void forwardClick(ListId id, int position);
    void forwardChange(ListId id);
    void carryOut(const ControllerOutcome& outcome);
    void showMessage(const QString& title, const QString& text);
    void showControllerState();

    CalculatorController m_controller;
    bool m_showingState = false;

    std::array<QComboBox*, kListCount> m_lists{};
    QLineEdit* m_txtDays = nullptr;
    QLineEdit* m_txtHours = nullptr;
    QPushButton* m_cmdCalculate = nullptr;
    QPushButton* m_cmdClear = nullptr;
    QAction* m_mnuNTSC = nullptr;
    QAction* m_mnuPAL = nullptr;
    QList<QAction*> m_shortcutActions;
};

}  // namespace storagecalc
