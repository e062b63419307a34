// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "window_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <array>

namespace storagecalc::testing {

namespace {
constexpr int kPollMs = 10;
constexpr int kStrayLimitTicks = 300;  // three seconds
}  // namespace

ModalGuard::ModalGuard() {
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &ModalGuard::poll);
    m_timer.start();
}

void ModalGuard::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
        m_strayTicks = 0;
        return;
    }
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (m_expecting && box != nullptr && box->isVisible()) {
        const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        m_seen.push_back({box->windowTitle(), box->text(), box->icon(),
                          static_cast<int>(box->buttons().size()), label->font(),
                          label->x() - box->layout()->contentsRect().left(),
                          !box->button(QMessageBox::Ok)->icon().isNull()});
        box->button(QMessageBox::Ok)->click();
        return;
    }
    if (++m_strayTicks >= kStrayLimitTicks) {
        ADD_FAILURE() << "a modal box was left open: " << modal->windowTitle().toStdString();
        modal->close();
        m_strayTicks = 0;
    }
}

std::vector<SeenMessageBox> ModalGuard::answerBoxesDuring(const std::function<void()>& action) {
    m_expecting = true;
    m_timer.setInterval(0);  // answer at once rather than at the next poll
    action();
    m_timer.setInterval(kPollMs);
    m_expecting = false;
    return std::exchange(m_seen, {});
}

void processDeletions() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void activate(QWidget* window) {
    // The request goes through the platform and arrives as an event, so it takes a wait. Under
    // Wine with a window manager a request that no real click preceded may be turned down or
    // lost (Wine 10 lost about two in five of the main window's), so the user clicks again, each
    // time waiting longer, as an answer may also be slow on a busy machine.
    constexpr std::array kPatienceMs{1000, 2500, 5000};
    for (const int patience : kPatienceMs) {
        window->activateWindow();
        if (QTest::qWaitForWindowActive(window, patience)) {
            return;
        }
    }
    ADD_FAILURE() << window->objectName().toStdString() << " still inactive after "
                  << kPatienceMs.size() << " requests";
}

std::string differencesFromController(const CalculatorWindow& window) {
    std::string differences;
    const CalculatorController& controller = window.controller();
    for (ListId id : kAllLists) {
        const OptionList& state = controller.optionList(id);
        const QComboBox* combo = window.list(id);
        bool sameEntries = combo->count() == static_cast<int>(state.entries.size());
        for (int i = 0; sameEntries && i < combo->count(); ++i) {
            sameEntries = combo->itemText(i).toStdString() == state.entries.at(std::size_t(i));
        }
        if (!sameEntries || combo->currentIndex() != state.selection.value_or(-1) ||
            combo->currentText().toStdString() != state.text) {
            differences += combo->objectName().toStdString() + " shows \"" +
                           combo->currentText().toStdString() + "\"; ";
        }
    }
    const auto result = [&](const char* name) {
        return window.findChild<QLineEdit*>(QString::fromLatin1(name))->text().toStdString();
    };
    if (result("txtHours") != controller.hoursText() ||
        result("txtDays") != controller.daysText()) {
        differences += "results differ; ";
    }
    return differences;
}

void UiTest::TearDown() {
    m_window.reset();
    processDeletions();
}

CalculatorWindow& UiTest::openWindow() {
    m_window = std::make_unique<CalculatorWindow>();
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);  // the test owns it
    m_window->show();
    activate(m_window.get());
    return *m_window;
}

QWidget* UiTest::child(const char* name) const {
    return m_window->findChild<QWidget*>(QString::fromLatin1(name));
}

QString UiTest::text(const char* resultName) const {
    return m_window->findChild<QLineEdit*>(QString::fromLatin1(resultName))->text();
}

void UiTest::pickByKeyboard(ListId id, int position) {
    QComboBox* list = combo(id);
    list->setFocus();
    // From no choice the first Down picks the first entry; each further one the next.
    const int presses = position - list->currentIndex();
    for (int i = 0; i < presses; ++i) {
        QTest::keyClick(list, Qt::Key_Down);
    }
    for (int i = 0; i > presses; --i) {
        QTest::keyClick(list, Qt::Key_Up);
    }
    ASSERT_EQ(list->currentIndex(), position);
}

void UiTest::pickFromPopup(ListId id, int position) {
    QComboBox* list = combo(id);
    list->showPopup();
    QAbstractItemView* view = list->view();
    ASSERT_TRUE(view->isVisible());
    const QModelIndex index = view->model()->index(position, 0);
    view->scrollTo(index);
    const QPoint centre = view->visualRect(index).center();
    QTest::mouseMove(view->viewport(), centre);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
    ASSERT_FALSE(view->isVisible());
}

std::vector<SeenMessageBox> UiTest::pressCalculate() {
    return m_guard.answerBoxesDuring([this] {
        QTest::mouseClick(qobject_cast<QPushButton*>(child("cmdCalculate")), Qt::LeftButton);
    });
}

}  // namespace storagecalc::testing
