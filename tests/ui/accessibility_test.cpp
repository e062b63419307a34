// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "ui/window_coordinator.h"
#include "window_fixture.h"

namespace storagecalc::testing {
namespace {

QAccessibleInterface* accessible(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget);
}

class AccessibilityTest : public UiTest {};

TEST_F(AccessibilityTest, EveryFocusableControlHasANameAndRole) {
    openWindow();
    const std::tuple<const char*, const char*, QAccessible::Role> controls[] = {
        {"cameras", "# of Cameras", QAccessible::ComboBox},
        {"resolution", "Video Resolution", QAccessible::ComboBox},
        {"quality", "Picture Quality", QAccessible::ComboBox},
        {"frameRate", "Recording Rate (IPS)", QAccessible::ComboBox},
        {"audio", "Audio Recording", QAccessible::ComboBox},
        {"hddsize", "Hard Disk Size", QAccessible::ComboBox},
        {"txtDays", "Recording time in days", QAccessible::EditableText},
        {"txtHours", "Recording time in hours", QAccessible::EditableText},
        {"cmdCalculate", "Calculate", QAccessible::Button},
        {"cmdClear", "Clear", QAccessible::Button},
    };
    for (const auto& [name, accessibleName, role] : controls) {
        QAccessibleInterface* control = accessible(child(name));
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->role(), role) << name;
        // A combo box speaks its field: the field carries the list's name.
        auto* list = qobject_cast<QComboBox*>(child(name));
        QAccessibleInterface* named = list != nullptr ? accessible(list->lineEdit()) : control;
        EXPECT_EQ(named->text(QAccessible::Name), QString(accessibleName)) << name;
        if (list != nullptr) {
            EXPECT_EQ(control->text(QAccessible::Value), list->currentText()) << name;
            EXPECT_EQ(list->accessibleName(), QString(accessibleName)) << name;
        }
    }
    // Every widget that takes the focus is in the list above.
    for (QWidget* widget : m_window->findChildren<QWidget*>()) {
        if (widget->focusPolicy() & Qt::TabFocus && widget->isVisibleTo(m_window.get()) &&
            !widget->objectName().isEmpty()) {
            EXPECT_FALSE(accessible(widget)->text(QAccessible::Name).isEmpty())
                << widget->objectName().toStdString();
        }
    }
}

TEST_F(AccessibilityTest, KeyboardAloneReachesAResult) {
    openWindow();
    const auto press = [](Qt::Key key, int times = 1) {
        for (int i = 0; i < times; ++i) {
            QTest::keyClick(QApplication::focusWidget(), key);
        }
    };
    press(Qt::Key_Tab);       // cameras
    press(Qt::Key_Down, 16);  // "16"
    press(Qt::Key_Tab);       // resolution
    press(Qt::Key_Down);      // 2CIF
    press(Qt::Key_Tab);       // quality
    press(Qt::Key_Down, 4);   // Q4 (13KB)
    press(Qt::Key_Tab);       // audio
    press(Qt::Key_Down);      // No Audio
    press(Qt::Key_Tab);       // hddsize
    press(Qt::Key_Down);      // 250 GB
    press(Qt::Key_Tab);       // frameRate
    press(Qt::Key_Down);      // "3"
    EXPECT_EQ(QApplication::focusWidget(), combo(ListId::frameRate));
    for (int i = 0; i < 4; ++i) {
        press(Qt::Key_Tab);  // Clear, hours, days, then round to Calculate
    }
    ASSERT_EQ(QApplication::focusWidget(), child("cmdCalculate"));
    EXPECT_TRUE(m_guard.answerBoxesDuring([&] { press(Qt::Key_Return); }).empty());
    EXPECT_EQ(accessible(child("txtDays"))->text(QAccessible::Value), "4.2");
    EXPECT_EQ(accessible(child("txtHours"))->text(QAccessible::Value), "101.7");
}

TEST(HelpAccessibilityTest, HelpTextsReadAsLabels) {
    WindowCoordinator windows;
    for (auto kind :
         {HelpWindowKind::instructions, HelpWindowKind::glossary, HelpWindowKind::about}) {
        HelpWindow* window = windows.openHelpWindow(kind);
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (label->text().isEmpty()) {
                continue;  // a picture
            }
            QAccessibleInterface* text = accessible(label);
            EXPECT_EQ(text->role(), QAccessible::StaticText);
            EXPECT_EQ(text->text(QAccessible::Name), label->text());
        }
        EXPECT_EQ(accessible(window->focusWidget())->text(QAccessible::Name), "OK");
    }
}

}  // namespace
}  // namespace storagecalc::testing
