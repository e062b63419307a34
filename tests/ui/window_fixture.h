// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "ui/calculator_window.h"

// Failures print texts, not bytes.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QFont& font, std::ostream* os) {
    *os << font.toString().toStdString();
}

namespace storagecalc::testing {

struct SeenMessageBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;
    QFont textFont;      // as the text is drawn
    int textIndent = 0;  // how far right of the box's margin the text starts
    bool okHasIcon = false;
};

// Answers the modal boxes a test expects and fails the test, instead of hanging, when a modal
// box it did not expect stays open.
class ModalGuard : public QObject {
  public:
    ModalGuard();
    // Runs action; every modal message box it opens is recorded and closed with OK.
    std::vector<SeenMessageBox> answerBoxesDuring(const std::function<void()>& action);

  private:
    void poll();

    QTimer m_timer;
    bool m_expecting = false;
    int m_strayTicks = 0;
    std::vector<SeenMessageBox> m_seen;
};

class UiTest : public ::testing::Test {
  protected:
    void TearDown() override;

    // A main window shown and active, as after start-up.
    CalculatorWindow& openWindow();
    QWidget* child(const char* name) const;
    QComboBox* combo(ListId id) const { return m_window->list(id); }
    QString text(const char* resultName) const;

    // Chooses the entry at position the way a keyboard user does: focus, then arrow keys.
    void pickByKeyboard(ListId id, int position);
    // Chooses through the drop-down list, as the mouse does.
    void pickFromPopup(ListId id, int position);
    // Presses Calculate and answers the box if one appears; returns the boxes seen.
    std::vector<SeenMessageBox> pressCalculate();

    ModalGuard m_guard;
    std::unique_ptr<CalculatorWindow> m_window;
};

// Drains deferred deletions so that closed windows are really gone.
void processDeletions();

// Makes window the active one, as the window system does when the user clicks it, and waits
// until it is: shortcuts and Enter reach only the active window.
void activate(QWidget* window);

// Where the widgets differ from the controller's state; empty when they show exactly it.
std::string differencesFromController(const CalculatorWindow& window);

}  // namespace storagecalc::testing
