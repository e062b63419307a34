// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "catalogue_facts.h"
#include "product.h"
#include "ui/look.h"
#include "window_fixture.h"

namespace storagecalc::testing {
namespace {

QString placeholderOf(ListId id) {
    return QString::fromStdString(oracle::kPlaceholders.at(static_cast<std::size_t>(id)));
}

QAction* action(const QWidget& window, const char* name) {
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

class CalculatorWindowTest : public UiTest {
  protected:
    // 16 cameras, 2CIF, Q4 (13KB), 3 IPS, no audio, 250 GB.
    void pickWorkedExample() {
        pickByKeyboard(ListId::cameras, 15);
        pickByKeyboard(ListId::resolution, 0);
        pickByKeyboard(ListId::quality, 3);
        pickFromPopup(ListId::frameRate, 0);
        pickByKeyboard(ListId::audio, 0);
        pickFromPopup(ListId::hddsize, 0);
    }

    void expectStartUpLists() {
        for (ListId id : kAllLists) {
            EXPECT_EQ(combo(id)->currentIndex(), -1);
            EXPECT_EQ(combo(id)->currentText(), placeholderOf(id));
        }
        EXPECT_EQ(combo(ListId::cameras)->count(), 16);
        EXPECT_EQ(combo(ListId::quality)->count(), 0);
        EXPECT_EQ(combo(ListId::frameRate)->count(), 0);
        EXPECT_EQ(text("txtDays"), "");
        EXPECT_EQ(text("txtHours"), "");
    }

    void expectWidgetsMatchController() { EXPECT_EQ(differencesFromController(*m_window), ""); }
};

TEST_F(CalculatorWindowTest, StartUpStateOnScreen) {
    CalculatorWindow& window = openWindow();
    EXPECT_EQ(window.windowTitle(), product::kMainTitle);
    expectStartUpLists();
    EXPECT_EQ(combo(ListId::resolution)->itemText(0),
              QString::fromStdString(oracle::kNtscResolutions[0]));
    EXPECT_TRUE(action(window, "mnuNTSC")->isChecked());
    EXPECT_FALSE(action(window, "mnuPAL")->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), child("cmdCalculate"));
}

TEST_F(CalculatorWindowTest, WorkedExampleShowsItsResult) {
    openWindow();
    pickWorkedExample();
    EXPECT_TRUE(pressCalculate().empty());
    EXPECT_EQ(text("txtDays"), "4.2");
    EXPECT_EQ(text("txtHours"), "101.7");
    expectWidgetsMatchController();
}

TEST_F(CalculatorWindowTest, ExactHalfUnderPalRoundsToEven) {
    CalculatorWindow& window = openWindow();
    action(window, "mnuPAL")->trigger();
    pickByKeyboard(ListId::cameras, 0);
    pickFromPopup(ListId::resolution, 0);
    pickByKeyboard(ListId::quality, 3);
    pickByKeyboard(ListId::frameRate, 0);
    pickByKeyboard(ListId::audio, 0);
    pickByKeyboard(ListId::hddsize, 3);
    EXPECT_EQ(combo(ListId::frameRate)->currentText(), "25");
    pressCalculate();
    EXPECT_EQ(text("txtHours"), "781.2");
    EXPECT_EQ(text("txtDays"), "32.6");
}

TEST_F(CalculatorWindowTest, DecimalCommaLocaleShowsAComma) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    openWindow();
    QLocale::setDefault(previous);
    pickWorkedExample();
    pressCalculate();
    EXPECT_EQ(text("txtHours"), "101,7");
    EXPECT_EQ(text("txtDays"), "4,2");
}

TEST_F(CalculatorWindowTest, MissingChoiceIsReportedThenFocused) {
    openWindow();
    pickWorkedExample();
    pressCalculate();
    // Typing in the quality field drops that choice but keeps the results.
    combo(ListId::quality)->setFocus();
    QTest::keyClicks(combo(ListId::quality), "x");
    EXPECT_EQ(combo(ListId::quality)->currentText(), placeholderOf(ListId::quality));
    EXPECT_EQ(text("txtHours"), "101.7");

    const auto seen = pressCalculate();
    ASSERT_EQ(seen.size(), 1U);
    EXPECT_EQ(seen[0].title, "Missing Data");
    EXPECT_EQ(seen[0].text, "You must select the picture quality.");
    EXPECT_EQ(seen[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen[0].buttonCount, 1);
    // In the windows' own font, with no room kept for an icon, and a plain OK.
    EXPECT_EQ(seen[0].textFont, dialogFont());
    EXPECT_EQ(seen[0].textIndent, 0);
    EXPECT_FALSE(seen[0].okHasIcon);
    EXPECT_EQ(m_window->focusWidget(), combo(ListId::quality));
    EXPECT_EQ(text("txtHours"), "101.7");
    EXPECT_EQ(text("txtDays"), "4.2");
}

TEST_F(CalculatorWindowTest, EnterAndSpacePressTheFocusedButton) {
    openWindow();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        activate(m_window.get());
        child("cmdCalculate")->setFocus();
        const auto seen =
            m_guard.answerBoxesDuring([&] { QTest::keyClick(child("cmdCalculate"), key); });
        ASSERT_EQ(seen.size(), 1U) << key;
        EXPECT_EQ(seen[0].text, "You must select the number of cameras.");
        EXPECT_EQ(m_window->focusWidget(), combo(ListId::cameras));
    }
}

TEST_F(CalculatorWindowTest, MenuShortcutsWinOverCopyAndCutInAField) {
    CalculatorWindow& window = openWindow();
    pickWorkedExample();
    QApplication::clipboard()->setText("untouched");
    combo(ListId::cameras)->setFocus();
    combo(ListId::cameras)->lineEdit()->selectAll();
    QTest::keyClick(combo(ListId::cameras), Qt::Key_C, Qt::ControlModifier);
    expectStartUpLists();  // File > Clear ran
    EXPECT_EQ(QApplication::clipboard()->text(), "untouched");
    // With a list open as well: the list closes and File > Clear runs.
    pickWorkedExample();
    combo(ListId::quality)->showPopup();
    ASSERT_TRUE(combo(ListId::quality)->view()->isVisible());
    QTest::keyClick(combo(ListId::quality)->view(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(combo(ListId::quality)->view()->isVisible());
    expectStartUpLists();

    QSignalSpy exits(&window, &CalculatorWindow::exitRequested);
    combo(ListId::audio)->setFocus();
    QTest::keyClick(combo(ListId::audio), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(exits.count(), 1);
    EXPECT_EQ(combo(ListId::audio)->currentText(), placeholderOf(ListId::audio));
}

TEST_F(CalculatorWindowTest, HelpShortcutsAskForTheirWindows) {
    CalculatorWindow& window = openWindow();
    QSignalSpy help(&window, &CalculatorWindow::helpRequested);
    combo(ListId::hddsize)->setFocus();
    QTest::keyClick(combo(ListId::hddsize), Qt::Key_I, Qt::ControlModifier);
    QTest::keyClick(combo(ListId::hddsize), Qt::Key_G, Qt::ControlModifier);
    action(window, "mnuAbout")->trigger();
    ASSERT_EQ(help.count(), 3);
    EXPECT_EQ(help[0][0].value<HelpWindowKind>(), HelpWindowKind::instructions);
    EXPECT_EQ(help[1][0].value<HelpWindowKind>(), HelpWindowKind::glossary);
    EXPECT_EQ(help[2][0].value<HelpWindowKind>(), HelpWindowKind::about);
}

TEST_F(CalculatorWindowTest, EnterInAFieldIsNoPick) {
    openWindow();
    pickWorkedExample();
    pressCalculate();
    // The field shows "16"; Enter there must not pick "16" again and refill the rates.
    combo(ListId::cameras)->setFocus();
    QTest::keyClick(combo(ListId::cameras), Qt::Key_Return);
    QTest::keyClick(combo(ListId::cameras)->lineEdit(), Qt::Key_Enter);
    EXPECT_EQ(combo(ListId::frameRate)->currentText(), "3");
    EXPECT_EQ(text("txtHours"), "101.7");
}

TEST_F(CalculatorWindowTest, TypedTextIsAnEditNeverAChoice) {
    openWindow();
    QComboBox* cameras = combo(ListId::cameras);
    EXPECT_EQ(cameras->completer(), nullptr);
    cameras->setFocus();
    cameras->lineEdit()->clear();  // as if the user had emptied the field by hand
    QTest::keyClicks(cameras, "5");
    QTest::keyClick(cameras, Qt::Key_Return);
    QTest::keyClicks(cameras, "12");
    cameras->clearFocus();  // leaving the field must not pick a matching text either
    EXPECT_EQ(cameras->currentIndex(), -1);
    EXPECT_EQ(cameras->currentText(), placeholderOf(ListId::cameras));
    EXPECT_EQ(cameras->count(), 16);

    pickByKeyboard(ListId::cameras, 4);
    QApplication::clipboard()->setText(QString(1 << 20, QLatin1Char('7')));
    QTest::keyClick(cameras, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(cameras->currentIndex(), -1);
    EXPECT_EQ(cameras->currentText(), placeholderOf(ListId::cameras));
    EXPECT_EQ(cameras->count(), 16);
    expectWidgetsMatchController();
}

TEST_F(CalculatorWindowTest, OwnWritesNeverReachTheController) {
    openWindow();
    pickByKeyboard(ListId::resolution, 1);
    pickByKeyboard(ListId::quality, 2);
    pickByKeyboard(ListId::audio, 1);
    // Refilling the rate list by a camera pick writes into every list; none may lose its choice.
    pickByKeyboard(ListId::cameras, 7);
    EXPECT_EQ(combo(ListId::quality)->currentText(), "Q5 (9KB)");
    EXPECT_EQ(combo(ListId::audio)->currentText(), "8 kHz Audio (8KB/sec)");
    EXPECT_EQ(combo(ListId::frameRate)->itemText(0), "15");
    expectWidgetsMatchController();
}

TEST_F(CalculatorWindowTest, FormatMenuMarksAndResets) {
    CalculatorWindow& window = openWindow();
    pickWorkedExample();
    pressCalculate();
    action(window, "mnuPAL")->trigger();
    EXPECT_FALSE(action(window, "mnuNTSC")->isChecked());
    EXPECT_TRUE(action(window, "mnuPAL")->isChecked());
    expectStartUpLists();
    EXPECT_EQ(combo(ListId::resolution)->itemText(1),
              QString::fromStdString(oracle::kPalResolutions[1]));
    action(window, "mnuPAL")->trigger();  // the active one again still keeps its mark
    EXPECT_TRUE(action(window, "mnuPAL")->isChecked());
    action(window, "mnuNTSC")->trigger();
    EXPECT_TRUE(action(window, "mnuNTSC")->isChecked());
    EXPECT_FALSE(action(window, "mnuPAL")->isChecked());
    EXPECT_EQ(combo(ListId::resolution)->itemText(1),
              QString::fromStdString(oracle::kNtscResolutions[1]));
}

TEST_F(CalculatorWindowTest, BothClearCommandsReset) {
    CalculatorWindow& window = openWindow();
    pickWorkedExample();
    pressCalculate();
    QTest::mouseClick(qobject_cast<QPushButton*>(child("cmdClear")), Qt::LeftButton);
    expectStartUpLists();
    pickWorkedExample();
    action(window, "mnuClear")->trigger();
    expectStartUpLists();
}

TEST_F(CalculatorWindowTest, TabOrder) {
    openWindow();
    QStringList visited;
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited,
              QStringList({"cameras", "resolution", "quality", "audio", "hddsize", "frameRate",
                           "cmdClear", "txtHours", "txtDays", "cmdCalculate"}));
}

struct Placement {
    const char* name;
    const char* parent;
    QRect geometry;
};

TEST_F(CalculatorWindowTest, LayoutFollowsTheDesign) {
    CalculatorWindow& window = openWindow();
    const Placement placements[] = {
        {"Picture1", "client", {8, 296, 593, 122}},     {"cmdClear", "client", {432, 248, 153, 25}},
        {"cmdCalculate", "client", {24, 248, 153, 25}}, {"Frame8", "client", {8, 224, 185, 65}},
        {"Frame1", "client", {200, 152, 209, 65}},      {"audio", "Frame1", {16, 24, 177, 21}},
        {"Frame7", "client", {8, 152, 185, 65}},        {"frameRate", "Frame7", {16, 24, 153, 21}},
        {"Frame6", "client", {8, 80, 185, 65}},         {"cameras", "Frame6", {16, 24, 153, 21}},
        {"Frame4", "client", {416, 152, 185, 65}},      {"hddsize", "Frame4", {16, 24, 153, 21}},
        {"Frame3", "client", {200, 80, 209, 65}},       {"resolution", "Frame3", {16, 24, 177, 21}},
        {"Frame2", "client", {416, 80, 185, 65}},       {"quality", "Frame2", {16, 24, 153, 21}},
        {"Frame9", "client", {416, 224, 185, 65}},      {"Frame5", "client", {200, 224, 209, 65}},
        {"txtDays", "Frame5", {16, 24, 41, 27}},        {"txtHours", "Frame5", {112, 24, 49, 27}},
        {"Image2", "client", {16, 8, 300, 47}},         {"Image1", "client", {448, 16, 150, 25}},
    };
    for (const Placement& p : placements) {
        QWidget* widget = child(p.name);
        ASSERT_NE(widget, nullptr) << p.name;
        EXPECT_EQ(widget->parentWidget()->objectName(), p.parent) << p.name;
        EXPECT_EQ(widget->geometry(), p.geometry) << p.name;
    }
    // Stacking: each control lies above the ones listed after it in the design.
    const std::vector<std::vector<const char*>> topToBottom = {
        {"Picture1", "cmdClear", "cmdCalculate", "Frame8", "Frame1", "Frame7", "Frame6", "Frame4",
         "Frame3", "Frame2", "Frame9", "Frame5", "Image2", "Image1"},
        {"txtDays", "txtHours", "Label3", "Label2", "Label1"}};
    for (const auto& names : topToBottom) {
        const QObjectList& siblings = child(names.front())->parent()->children();
        for (std::size_t i = 0; i + 1 < names.size(); ++i) {
            EXPECT_GT(siblings.indexOf(child(names[i])), siblings.indexOf(child(names[i + 1])))
                << names[i] << " over " << names[i + 1];
        }
    }
    // The unit labels keep their place and grow to fit their text.
    for (auto [name, x, caption] : {std::tuple{"Label2", 64, "days"}, {"Label1", 168, "hours"}}) {
        auto* label = qobject_cast<QLabel*>(child(name));
        EXPECT_EQ(label->text(), caption);
        EXPECT_EQ(label->pos(), QPoint(x, 32));
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
    }
    EXPECT_EQ(window.centralWidget()->size(), QSize(608, 427));
    EXPECT_EQ(window.centralWidget()->y(), window.menuBar()->height());
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(qobject_cast<QLabel*>(child("Label3"))->font().pointSize(), 27);
    EXPECT_EQ(child("cameras")->font().pointSize(), 8);
    EXPECT_EQ(qobject_cast<QGroupBox*>(child("Frame6"))->title(), "# of Cameras :");
    EXPECT_EQ(qobject_cast<QGroupBox*>(child("Frame7"))->title(), "Recording Rate (IPS) :");
}

TEST_F(CalculatorWindowTest, PicturesHaveTheirExactSizes) {
    openWindow();
    for (auto [name, size] : {std::pair{"Image2", QSize(300, 47)},
                              {"Image1", QSize(150, 25)},
                              {"Picture1", QSize(593, 122)}}) {
        auto* label = qobject_cast<QLabel*>(child(name));
        ASSERT_FALSE(label->pixmap().isNull()) << name;
        EXPECT_EQ(label->pixmap().deviceIndependentSize().toSize(), size) << name;
    }
    EXPECT_FALSE(m_window->windowIcon().isNull());
    EXPECT_EQ(m_window->windowIcon().availableSizes().value(0), QSize(32, 32));
}

TEST_F(CalculatorWindowTest, MenusCarryTheirShortcuts) {
    CalculatorWindow& window = openWindow();
    const std::pair<const char*, QKeySequence> shortcuts[] = {
        {"mnuClear", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {"mnuExit", QKeySequence(Qt::CTRL | Qt::Key_X)},
        {"mnuNTSC", QKeySequence()},
        {"mnuPAL", QKeySequence()},
        {"mnuInstructions", QKeySequence(Qt::CTRL | Qt::Key_I)},
        {"mnuGlossary", QKeySequence(Qt::CTRL | Qt::Key_G)},
        {"mnuAbout", QKeySequence()},
    };
    for (const auto& [name, shortcut] : shortcuts) {
        ASSERT_NE(action(window, name), nullptr) << name;
        EXPECT_EQ(action(window, name)->shortcut(), shortcut) << name;
    }
    QStringList menus;
    for (QAction* menu : window.menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, QStringList({"File", "Format", "Help"}));
    // The opened menus are in the bar's font, not the desktop's.
    for (QAction* menu : window.menuBar()->actions()) {
        EXPECT_EQ(menu->menu()->font(), window.menuBar()->font()) << menu->text().toStdString();
        EXPECT_EQ(QFontInfo(menu->menu()->font()).pixelSize(),
                  QFontInfo(window.menuBar()->font()).pixelSize());
    }
    EXPECT_EQ(action(window, "mnuAbout")->text(), "About...");
}

}  // namespace
}  // namespace storagecalc::testing
