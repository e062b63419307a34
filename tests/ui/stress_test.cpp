// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// Many random user actions on the real windows: after each one the widgets must show exactly
// the controller's state, and nothing may crash, hang or pile up windows.
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <random>

#include "ui/window_coordinator.h"
#include "window_fixture.h"

namespace storagecalc::testing {
namespace {

constexpr int kActions = 20000;
constexpr int kCycles = 1000;

// A share of count, in per cent as STORAGECALC_STRESS_PERCENT gives it (all of it by default): a
// platform whose windows are real ones takes far longer for each action.
int scaled(int count) {
    bool ok = false;
    const int percent = qEnvironmentVariableIntValue("STORAGECALC_STRESS_PERCENT", &ok);
    return ok && percent > 0 ? std::max(1, count * percent / 100) : count;
}

class WindowStressTest : public ::testing::Test {
  protected:
    void TearDown() override {
        m_windows.reset();
        processDeletions();
    }

    CalculatorWindow* main() {
        CalculatorWindow* window = m_windows->calculator();
        if (window == nullptr) {
            window = m_windows->showCalculator();
        }
        activate(window);
        return window;
    }

    int randomInt(int low, int high) { return std::uniform_int_distribution(low, high)(m_random); }

    QComboBox* randomList() {
        return main()->list(kAllLists.at(static_cast<std::size_t>(randomInt(0, 5))));
    }

    // One action of a user; returns its name for the failure message.
    std::string act();

    ModalGuard m_guard;
    std::unique_ptr<WindowCoordinator> m_windows = std::make_unique<WindowCoordinator>();
    std::mt19937 m_random{20261208};
};

std::string WindowStressTest::act() {
    switch (randomInt(0, 13)) {
        case 0:
        case 1: {
            QComboBox* list = randomList();
            list->setFocus();
            QTest::keyClick(list, randomInt(0, 1) == 0 ? Qt::Key_Down : Qt::Key_Up);
            return "arrow key in " + list->objectName().toStdString();
        }
        case 2: {
            QComboBox* list = randomList();
            if (list->count() == 0) {
                return "nothing to pick";
            }
            list->showPopup();
            QAbstractItemView* view = list->view();
            const QModelIndex index = view->model()->index(randomInt(0, list->count() - 1), 0);
            view->scrollTo(index);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->visualRect(index).center());
            list->hidePopup();
            return "mouse pick in " + list->objectName().toStdString();
        }
        case 3: {
            QComboBox* list = randomList();
            list->setFocus();
            const char* texts[] = {"5", "16", "x", "Q7 (18KB)", "1 TB", "\t", " "};
            QTest::keyClicks(list, QString::fromLatin1(texts[randomInt(0, 6)]));
            return "typing in " + list->objectName().toStdString();
        }
        case 4: {
            QComboBox* list = randomList();
            list->setFocus();
            QTest::keyClick(list, randomInt(0, 1) == 0 ? Qt::Key_Backspace : Qt::Key_Delete);
            return "deleting in " + list->objectName().toStdString();
        }
        case 5: {
            QComboBox* list = randomList();
            list->setFocus();
            const int length = randomInt(0, 200) == 0 ? (1 << 20) : randomInt(1, 40);
            QApplication::clipboard()->setText(QString(length, QLatin1Char('9')));
            QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);
            return "paste of " + std::to_string(length) + " characters";
        }
        case 6: {
            QWidget* focus = main()->focusWidget();
            const Qt::Key key = randomInt(0, 1) == 0 ? Qt::Key_Return : Qt::Key_Space;
            m_guard.answerBoxesDuring(
                [&] { QTest::keyClick(focus != nullptr ? focus : main(), key); });
            return "Enter or Space";
        }
        case 7:
            QTest::keyClick(main()->focusWidget() != nullptr ? main()->focusWidget() : main(),
                            randomInt(0, 1) == 0 ? Qt::Key_Tab : Qt::Key_Backtab);
            return "Tab";
        case 8: {
            const Qt::Key keys[] = {Qt::Key_C, Qt::Key_C, Qt::Key_I, Qt::Key_G, Qt::Key_X};
            QWidget* target = main()->focusWidget() != nullptr ? main()->focusWidget() : main();
            QTest::keyClick(target, keys[randomInt(0, 4)], Qt::ControlModifier);
            processDeletions();
            return "menu shortcut";
        }
        case 9:
            QTest::mouseClick(main()->findChild<QPushButton*>(QStringLiteral("cmdClear")),
                              Qt::LeftButton);
            return "Clear";
        case 10:
        case 11:
            m_guard.answerBoxesDuring([this] {
                QTest::mouseClick(main()->findChild<QPushButton*>(QStringLiteral("cmdCalculate")),
                                  Qt::LeftButton);
            });
            return "Calculate";
        case 12: {
            const auto kind = static_cast<HelpWindowKind>(randomInt(0, 2));
            m_windows->openHelpWindow(kind);
            return "open a help window";
        }
        default: {
            for (auto kind :
                 {HelpWindowKind::instructions, HelpWindowKind::glossary, HelpWindowKind::about}) {
                if (HelpWindow* window = m_windows->helpWindow(kind)) {
                    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command1")),
                                      Qt::LeftButton);
                    processDeletions();
                    return "OK in a help window";
                }
            }
            return "no help window to close";
        }
    }
}

TEST_F(WindowStressTest, RandomActionsKeepTheWidgetsTrue) {
    std::string last;
    for (int i = 0; i < scaled(kActions); ++i) {
        last = act();
        const std::string differences = differencesFromController(*main());
        ASSERT_EQ(differences, "") << "after action " << i << ": " << last;
    }
    int topLevels = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        topLevels += widget->objectName() == QLatin1String("calculator") ? 1 : 0;
    }
    EXPECT_EQ(topLevels, 1);
}

TEST_F(WindowStressTest, OpeningAndClosingWindowsLeavesNothingBehind) {
    const auto countTopLevels = [] {
        processDeletions();
        return QApplication::topLevelWidgets().size();
    };
    m_windows->showCalculator();
    const auto before = countTopLevels();
    for (int cycle = 0; cycle < scaled(kCycles); ++cycle) {
        for (auto kind :
             {HelpWindowKind::instructions, HelpWindowKind::glossary, HelpWindowKind::about}) {
            HelpWindow* window = m_windows->openHelpWindow(kind);
            QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command1")),
                              Qt::LeftButton);
        }
        // Close the main window as the window system does, and bring it back through OK.
        m_windows->calculator()->close();
        processDeletions();
        ASSERT_EQ(m_windows->calculator(), nullptr);
        HelpWindow* about = m_windows->openHelpWindow(HelpWindowKind::about);
        QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        ASSERT_NE(m_windows->calculator(), nullptr);
    }
    EXPECT_EQ(countTopLevels(), before);
}

}  // namespace
}  // namespace storagecalc::testing
