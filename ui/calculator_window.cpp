// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "ui/calculator_window.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <functional>

#include "product.h"
#include "ui/caption_frame.h"
#include "ui/caption_label.h"
#include "ui/drop_down_list.h"
#include "ui/look.h"
#include "ui/push_button.h"
#include "ui/result_box.h"

namespace storagecalc {

namespace {

constexpr QSize kClientSize(608, 427);

std::string localeDecimalSeparator() {
    return QLocale().decimalPoint().toStdString();
}

bool holdsEntries(const QComboBox* combo, const TextList& entries) {
    if (combo->count() != static_cast<int>(entries.size())) {
        return false;
    }
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i) != QLatin1String(entries[static_cast<std::size_t>(i)].data(),
                                                static_cast<qsizetype>(entries[i].size()))) {
            return false;
        }
    }
    return true;
}

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

}  // namespace

CalculatorWindow::CalculatorWindow(QWidget* parent)
    : QMainWindow(parent), m_controller(localeDecimalSeparator()) {
    setObjectName(QStringLiteral("calculator"));
    setWindowTitle(QString::fromLatin1(product::kMainTitle));
    setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));
    setAttribute(Qt::WA_DeleteOnClose);
    // Fixed size: on Windows a dialog's thin border, no sizing border and no Size command.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(dialogFont());

    buildMenus();
    setCentralWidget(buildClientArea());
    layout()->setSizeConstraint(QLayout::SetFixedSize);  // not resizable by the user
    setUpTabOrder();

    forward(&CalculatorController::Form_Load);
    m_cmdCalculate->setFocus();
}

QWidget* CalculatorWindow::buildClientArea() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientSize);
    client->setPalette(captionPalette(client->palette()));
    client->setAutoFillBackground(true);

    // Created bottom first: a widget made later lies above the ones made before it.
    buildPictures(client);
    auto* frame5 = buildFrame(client, "Frame5", {200, 224, 209, 65}, "Recording Time :");
    buildResults(frame5);
    buildFrame(client, "Frame9", {416, 224, 185, 65}, nullptr);
    buildList(buildFrame(client, "Frame2", {416, 80, 185, 65}, "Picture Quality :"),
              ListId::quality, "quality", 153);
    buildList(buildFrame(client, "Frame3", {200, 80, 209, 65}, "Video Resolution :"),
              ListId::resolution, "resolution", 177);
    buildList(buildFrame(client, "Frame4", {416, 152, 185, 65}, "Hard Disk Size :"),
              ListId::hddsize, "hddsize", 153);
    buildList(buildFrame(client, "Frame6", {8, 80, 185, 65}, "# of Cameras :"), ListId::cameras,
              "cameras", 153);
    buildList(buildFrame(client, "Frame7", {8, 152, 185, 65}, "Recording Rate (IPS) :"),
              ListId::frameRate, "frameRate", 153);
    buildList(buildFrame(client, "Frame1", {200, 152, 209, 65}, "Audio Recording :"), ListId::audio,
              "audio", 177);
    buildFrame(client, "Frame8", {8, 224, 185, 65}, nullptr);

    m_cmdCalculate = new PushButton(QStringLiteral("Calculate"), client);
    place(m_cmdCalculate, "cmdCalculate", {24, 248, 153, 25});
    connect(m_cmdCalculate, &QPushButton::clicked, this,
            [this] { forward(&CalculatorController::cmdCalculate_Click); });
    m_cmdClear = new PushButton(QStringLiteral("Clear"), client);
    place(m_cmdClear, "cmdClear", {432, 248, 153, 25});
    connect(m_cmdClear, &QPushButton::clicked, this,
            [this] { forward(&CalculatorController::cmdClear_Click); });

    auto* panel = new QLabel(client);
    panel->setPixmap(loadPicture(":/assets/front_panel.jpg"));
    place(panel, "Picture1", {8, 296, 593, 122});
    return client;
}

void CalculatorWindow::buildPictures(QWidget* parent) {
    const struct {
        const char* name;
        QPoint position;
        const char* resource;
    } pictures[] = {{"Image1", {448, 16}, ":/assets/logo.jpg"},
                    {"Image2", {16, 8}, ":/assets/banner.jpg"}};
    for (const auto& picture : pictures) {
        auto* image = new QLabel(parent);
        const QPixmap pixmap = loadPicture(picture.resource);
        image->setPixmap(pixmap);
        place(image, picture.name,
              QRect(picture.position, pixmap.deviceIndependentSize().toSize()));
    }
}

QGroupBox* CalculatorWindow::buildFrame(QWidget* parent, const char* name, const QRect& geometry,
                                        const char* caption) {
    auto* frame = new CaptionFrame(parent);
    if (caption != nullptr) {
        frame->setTitle(QString::fromLatin1(caption));
    }
    place(frame, name, geometry);
    return frame;
}

void CalculatorWindow::buildList(QGroupBox* frame, ListId id, const char* name, int width) {
    auto* combo = new DropDownList(this, frame);
    // Editable, as setEditable(true) makes it, but without building the drop-down list's popup
    // ahead of time: Qt builds it when the list is first opened, the same as it would be now.
    auto* field = new QLineEdit(combo);
    field->setPalette(combo->palette());
    combo->setLineEdit(field);
    // Typing is an edit, never a choice: nothing completes it and nothing is inserted.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setDuplicatesEnabled(true);
    place(combo, name, {16, 24, width, 21});
    // Screen readers name the list after its frame's caption. On Linux a combo box reports its
    // text as its name, so the field carries the name too.
    const QString accessibleName = frame->title().remove(QStringLiteral(" :"));
    combo->setAccessibleName(accessibleName);
    combo->lineEdit()->setAccessibleName(accessibleName);
    combo->installEventFilter(this);
    combo->lineEdit()->installEventFilter(this);
    m_lists.at(indexOf(id)) = combo;

    connect(combo, &QComboBox::activated, this,
            [this, id](int position) { forwardClick(id, position); });
    connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, id] { forwardChange(id); });
}

void CalculatorWindow::buildResults(QWidget* frame) {
    const auto makeResult = [frame, this](const char* name, const QRect& geometry) {
        auto* box = new ResultBox(frame);
        place(box, name, geometry);
        box->installEventFilter(this);
        return box;
    };
    // Bottom first, as everywhere: the result boxes lie above the labels. The unit labels fit
    // their text, whatever the font measures.
    const struct {
        const char* name;
        QPoint position;
        const char* caption;
    } units[] = {{"Label1", {168, 32}, "hours"}, {"Label2", {64, 32}, "days"}};
    for (const auto& design : units) {
        auto* label = new QLabel(QString::fromLatin1(design.caption), frame);
        place(label, design.name, QRect(design.position, QSize(label->sizeHint().width(), 13)));
    }
    // The divider is as large as the ink of its "/", centred where the design puts it
    // (96, 8, 12 x 49): between the two result boxes, whatever serif face draws it.
    auto* divider = new GlyphLabel(QStringLiteral("/"), frame);
    divider->setFont(dividerFont());
    const QSize size = divider->sizeHint();
    const QPointF centre = QRectF(96, 8, 12, 49).center();
    place(divider, "Label3",
          QRect(QPoint(qRound(centre.x() - (size.width() / 2.0)),
                       qRound(centre.y() - (size.height() / 2.0))),
                size));
    m_txtHours = makeResult("txtHours", {112, 24, 49, 27});
    m_txtHours->setAccessibleName(QStringLiteral("Recording time in hours"));
    m_txtDays = makeResult("txtDays", {16, 24, 41, 27});
    m_txtDays->setAccessibleName(QStringLiteral("Recording time in days"));
}

void CalculatorWindow::buildMenus() {
    struct Item {
        const char* menu;
        const char* name;
        const char* caption;
        QKeySequence shortcut;
        bool checkable;
        std::function<void()> action;
    };
    const auto help = [this](HelpWindowKind kind) {
        return [this, kind] { emit helpRequested(kind); };
    };
    const Item items[] = {
        {"File", "mnuClear", "Clear", QKeySequence(Qt::CTRL | Qt::Key_C), false,
         [this] { forward(&CalculatorController::mnuClear_Click); }},
        {"File", "mnuHyphen", nullptr, {}, false, {}},
        {"File", "mnuExit", "Exit", QKeySequence(Qt::CTRL | Qt::Key_X), false,
         [this] { emit exitRequested(); }},
        {"Format",
         "mnuNTSC",
         "NTSC",
         {},
         true,
         [this] { forward(&CalculatorController::mnuNTSC_Click); }},
        {"Format",
         "mnuPAL",
         "PAL",
         {},
         true,
         [this] { forward(&CalculatorController::mnuPAL_Click); }},
        {"Help", "mnuInstructions", "Instructions", QKeySequence(Qt::CTRL | Qt::Key_I), false,
         help(HelpWindowKind::instructions)},
        {"Help", "mnuGlossary", "Glossary", QKeySequence(Qt::CTRL | Qt::Key_G), false,
         help(HelpWindowKind::glossary)},
        {"Help", "mnuHyphen1", nullptr, {}, false, {}},
        {"Help", "mnuAbout", "About...", {}, false, help(HelpWindowKind::about)},
    };
    QMenu* menu = nullptr;
    for (const Item& item : items) {
        const QString title = QString::fromLatin1(item.menu);
        if (menu == nullptr || menu->title() != title) {
            menu = menuBar()->addMenu(title);
            menu->setObjectName(QStringLiteral("mnu") + title);
            // A menu is a window of its own and would take the desktop's font, not the bar's.
            menu->setFont(menuBar()->font());
        }
        QAction* action = item.caption != nullptr
                              ? menu->addAction(QString::fromLatin1(item.caption))
                              : menu->addSeparator();
        action->setObjectName(QString::fromLatin1(item.name));
        if (item.caption == nullptr) {
            continue;
        }
        action->setCheckable(item.checkable);
        if (!item.shortcut.isEmpty()) {
            action->setShortcut(item.shortcut);
            m_shortcutActions << action;
        }
        // Check marks follow the controller, not the click.
        connect(action, &QAction::triggered, this, item.action);
    }
    m_mnuNTSC = menuBar()->findChild<QAction*>(QStringLiteral("mnuNTSC"));
    m_mnuPAL = menuBar()->findChild<QAction*>(QStringLiteral("mnuPAL"));
    m_mnuNTSC->setChecked(true);
}

void CalculatorWindow::setUpTabOrder() {
    const QWidget* order[] = {m_cmdCalculate,
                              list(ListId::cameras),
                              list(ListId::resolution),
                              list(ListId::quality),
                              list(ListId::audio),
                              list(ListId::hddsize),
                              list(ListId::frameRate),
                              m_cmdClear,
                              m_txtHours,
                              m_txtDays};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
    }
}

bool CalculatorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && qobject_cast<QAbstractItemView*>(watched) != nullptr) {
        // An open list takes the keys, and the window's shortcuts would not fire: the list
        // closes and the menu command runs, as from the list's field.
        QAction* action = shortcutAction(static_cast<QKeyEvent*>(event));
        if (action != nullptr) {
            for (QComboBox* combo : m_lists) {
                combo->hidePopup();
            }
            action->trigger();
            return true;
        }
    } else if (event->type() == QEvent::ShortcutOverride) {
        // A field would take Ctrl+C and Ctrl+X as copy and cut; here they are menu commands.
        if (shortcutAction(static_cast<QKeyEvent*>(event)) != nullptr) {
            return true;  // left unaccepted, so the shortcut fires
        }
    } else if (event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event)) &&
               (qobject_cast<QComboBox*>(watched) != nullptr ||
                qobject_cast<QComboBox*>(watched->parent()) != nullptr)) {
        // Enter in a list's field would pick the entry matching its text; it is no choice.
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

QAction* CalculatorWindow::shortcutAction(const QKeyEvent* key) const {
    const QKeySequence pressed(key->keyCombination());
    for (QAction* action : m_shortcutActions) {
        if (action->shortcut() == pressed) {
            return action;
        }
    }
    return nullptr;
}

void CalculatorWindow::forward(Operation operation) {
    if (m_showingState) {
        return;  // our own writing into the widgets, not the user
    }
    carryOut((m_controller.*operation)());
}

void CalculatorWindow::forwardClick(ListId id, int position) {
    if (!m_showingState) {
        carryOut(m_controller.click(id, position));
    }
}

void CalculatorWindow::forwardChange(ListId id) {
    if (!m_showingState) {
        carryOut(m_controller.change(id));
    }
}

void CalculatorWindow::carryOut(const ControllerOutcome& outcome) {
    showControllerState();
    if (outcome.messageTitle) {
        showMessage(QString::fromStdString(*outcome.messageTitle),
                    QString::fromStdString(outcome.messageText));
    }
    if (outcome.focusList) {
        list(*outcome.focusList)->setFocus(Qt::OtherFocusReason);
    }
}

void CalculatorWindow::showMessage(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setWindowModality(Qt::ApplicationModal);
    // A title, a text and OK, nothing more: the windows' font rather than the desktop's, no
    // indent kept for an icon, no icon on the button.
    box.setFont(dialogFont());
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        for (int i = 0; i < grid->count(); ++i) {
            if (QSpacerItem* indent = grid->itemAt(i)->spacerItem()) {
                indent->changeSize(0, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
            }
        }
        grid->setHorizontalSpacing(0);
        grid->invalidate();
    }
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    box.exec();
}

void CalculatorWindow::showControllerState() {
    QScopedValueRollback<bool> guard(m_showingState, true);
    for (const ListId id : kAllLists) {
        QComboBox* combo = list(id);
        const OptionList& state = m_controller.optionList(id);
        if (!holdsEntries(combo, state.entries)) {
            combo->clear();
            for (const std::string& entry : state.entries) {
                combo->addItem(QString::fromStdString(entry));
            }
        }
        combo->setCurrentIndex(state.selection.value_or(-1));
        const QString text = QString::fromStdString(state.text);
        if (combo->currentText() != text) {
            combo->setEditText(text);
        }
        combo->lineEdit()->setCursorPosition(0);
    }
    m_txtHours->setText(QString::fromStdString(m_controller.hoursText()));
    m_txtDays->setText(QString::fromStdString(m_controller.daysText()));
    m_mnuNTSC->setChecked(m_controller.ntscChecked());
    m_mnuPAL->setChecked(m_controller.palChecked());
}

}  // namespace storagecalc
