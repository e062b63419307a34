// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#ifdef Q_OS_WIN
#include <QtCore/qt_windows.h>
#elif defined(STORAGECALC_TEST_X11)
#include <xcb/xcb.h>
#endif

#include "product.h"
#include "ui/caption_label.h"
#include "ui/window_coordinator.h"
#include "window_fixture.h"

namespace storagecalc::testing {
namespace {

int liveTopLevels(const char* name) {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        count += widget->objectName() == QLatin1String(name) ? 1 : 0;
    }
    return count;
}

QString caption(const QWidget* window, const char* label) {
    return window->findChild<QLabel*>(QString::fromLatin1(label))->text();
}

// What a window tells the window system about its frame, read back from the window system.
struct WindowSystemFrame {
    bool known = false;
    bool sizable = false;
    bool closable = false;
    bool minimisable = false;
    bool maximisable = false;
    bool onTaskbar = false;
};

WindowSystemFrame frameOf(QWidget* window) {
    WindowSystemFrame frame;
#ifdef Q_OS_WIN
    if (QGuiApplication::platformName() == u"windows") {
        auto* const hwnd = reinterpret_cast<HWND>(window->winId());
        const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
        const LONG_PTR extended = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
        frame.known = true;
        // A sizing border, or a Size command in a window menu that the title bar offers.
        const HMENU menu = GetSystemMenu(hwnd, FALSE);
        const bool sizeCommand =
            menu != nullptr && GetMenuState(menu, SC_SIZE, MF_BYCOMMAND) != UINT(-1);
        frame.sizable = (style & WS_THICKFRAME) != 0 || ((style & WS_SYSMENU) != 0 && sizeCommand);
        // Title-bar buttons show only with the window menu.
        frame.closable = (style & WS_SYSMENU) != 0;
        frame.minimisable = (style & WS_MINIMIZEBOX) != 0 && (style & WS_SYSMENU) != 0;
        frame.maximisable = (style & WS_MAXIMIZEBOX) != 0 && (style & WS_SYSMENU) != 0;
        // The taskbar shows a window that has no owner, or asks for a button, and is no tool
        // window.
        frame.onTaskbar =
            (GetWindow(hwnd, GW_OWNER) == nullptr || (extended & WS_EX_APPWINDOW) != 0) &&
            (extended & WS_EX_TOOLWINDOW) == 0;
    }
#elif defined(STORAGECALC_TEST_X11)
    if (QGuiApplication::platformName() == u"xcb") {
        auto* const x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* const connection = x11->connection();
        const auto id = static_cast<xcb_window_t>(window->winId());
        const auto property = [&](xcb_atom_t name, xcb_atom_t type, std::uint32_t length) {
            std::vector<std::uint32_t> values;
            xcb_get_property_reply_t* reply = xcb_get_property_reply(
                connection, xcb_get_property(connection, 0, id, name, type, 0, length), nullptr);
            if (reply != nullptr) {
                const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
                values.assign(data, data + xcb_get_property_value_length(reply) / 4);
                free(reply);
            }
            return values;
        };
        frame.known = true;
        // Fixed: the smallest and the largest size the same (flags PMinSize and PMaxSize).
        const auto hints = property(XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 18);
        const bool fixedSize = hints.size() >= 9 && (hints[0] & 48) == 48 && hints[5] == hints[7] &&
                               hints[6] == hints[8];
        frame.sizable = !fixedSize;
        // Taskbars leave out a window that is transient for another.
        const auto transientFor = property(XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 1);
        frame.onTaskbar = transientFor.empty() || transientFor[0] == 0;
        // Motif hints: what the window manager is to offer, as functions and decorations. A field
        // that is not given allows everything; its "all" bit turns the others into exceptions.
        const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(connection, 1, 15, "_MOTIF_WM_HINTS");
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(connection, cookie, nullptr);
        const auto motif =
            atom != nullptr ? property(atom->atom, atom->atom, 5) : std::vector<std::uint32_t>();
        free(atom);
        const auto offered = [&motif](std::size_t field, std::uint32_t bit) {
            constexpr std::uint32_t kAll = 1;
            const std::uint32_t given = field == 1 ? 1 : 2;  // functions, decorations
            return motif.size() < 3 || (motif[0] & given) == 0 ||
                   ((motif[field] & bit) != 0) != ((motif[field] & kAll) != 0);
        };
        constexpr std::uint32_t kCloseFunction = 32, kMinimiseButton = 32, kMaximiseButton = 64;
        frame.closable = offered(1, kCloseFunction);
        frame.minimisable = offered(2, kMinimiseButton);
        frame.maximisable = offered(2, kMaximiseButton);
    }
#else
    (void)window;
#endif
    return frame;
}

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

void pressOk(QWidget* window) {
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    processDeletions();
}

class HelpWindowsTest : public ::testing::Test {
  protected:
    void TearDown() override {
        m_windows.reset();
        processDeletions();
    }

    std::unique_ptr<WindowCoordinator> m_windows = std::make_unique<WindowCoordinator>();
};

// A window called up again comes back in front and active, from behind the main window or
// from the taskbar.
TEST_F(HelpWindowsTest, EachWindowOpensOnceAndComesToTheFront) {
    CalculatorWindow* main = m_windows->showCalculator();
    for (auto [kind, name] : {std::pair{HelpWindowKind::instructions, "instructions"},
                              {HelpWindowKind::glossary, "glossary"},
                              {HelpWindowKind::about, "about"}}) {
        for (const bool minimised : {false, true}) {
            // On Windows about has neither a minimise button nor a taskbar button: nothing there
            // minimises it alone. (Under Wine a window manager can, and Wine then gives the
            // focus back to no window owned by a hidden one.)
            if (minimised && kind == HelpWindowKind::about &&
                QGuiApplication::platformName() == u"windows") {
                continue;
            }
            HelpWindow* first = m_windows->openHelpWindow(kind);
            activate(main);
            if (minimised) {
                first->showMinimized();
            }
            HelpWindow* second = m_windows->openHelpWindow(kind);
            EXPECT_EQ(first, second) << name;
            EXPECT_TRUE(first->isVisible());
            EXPECT_FALSE(first->isMinimized()) << name;
            // Under Wine a window manager that restores the window may keep the keyboard with
            // the window that had it, as it does against an activation that no real key or click
            // preceded (focus-stealing prevention): check_program.sh has it restored and active
            // by real keys there.
            if (!minimised || QGuiApplication::platformName() != u"windows") {
                EXPECT_TRUE(QTest::qWaitForWindowActive(first))
                    << name << " minimised " << minimised;
            } else {
                // As the user would click it. Otherwise the restored window may still take the
                // keyboard later (Wine 10 finishes the restore on its own time), in the middle
                // of the next window's checks.
                activate(first);
            }
            // Not the main window's: on Windows about has a hidden owner of its own.
            EXPECT_TRUE(first->isWindow());
            EXPECT_TRUE(first->parentWidget() == nullptr || !first->parentWidget()->isVisible());
            EXPECT_FALSE(first->isModal());
            EXPECT_EQ(liveTopLevels(name), 1) << name;
        }
    }
}

TEST_F(HelpWindowsTest, TitlesAndClientSizes) {
    const std::tuple<HelpWindowKind, const char*, QSize> designs[] = {
        {HelpWindowKind::instructions, product::kInstructionsTitle, {395, 236}},
        {HelpWindowKind::glossary, product::kGlossaryTitle, {545, 308}},
        {HelpWindowKind::about, product::kAboutTitle, {314, 338}},
    };
    for (const auto& [kind, title, size] : designs) {
        HelpWindow* window = m_windows->openHelpWindow(kind);
        EXPECT_EQ(window->windowTitle(), title);
        EXPECT_EQ(window->size(), size) << title;
        auto* ok = window->findChild<QPushButton*>(QStringLiteral("Command1"));
        EXPECT_EQ(ok->text(), "OK");
        EXPECT_EQ(window->focusWidget(), ok);
    }
    EXPECT_EQ(m_windows->helpWindow(HelpWindowKind::about)->minimumSize(), QSize(314, 338));
    EXPECT_EQ(m_windows->helpWindow(HelpWindowKind::about)->maximumSize(), QSize(314, 338));
    HelpWindow* glossary = m_windows->helpWindow(HelpWindowKind::glossary);
    glossary->resize(700, 400);  // growing moves nothing
    EXPECT_EQ(glossary->size(), QSize(700, 400));
    EXPECT_EQ(glossary->findChild<QWidget*>(QStringLiteral("Command1"))->geometry(),
              QRect(224, 264, 89, 33));
}

TEST_F(HelpWindowsTest, InstructionTextsAreExact) {
    HelpWindow* window = m_windows->openHelpWindow(HelpWindowKind::instructions);
    const QString run24(24, QLatin1Char(' '));
    EXPECT_EQ(caption(window, "Label1"),
              "1.  Select the Number of Cameras and the desired Video Resolution." + run24 +
                  "These parameters must be selected first; they will affect the other settings.");
    EXPECT_EQ(caption(window, "Label2"),
              "2.  Select the Picture Quality and the Recording Rate (images per second).");
    EXPECT_EQ(caption(window, "Label3"),
              "3.  If you are enabling Audio, select the desired Audio Sampling Rate." +
                  QString(23, QLatin1Char(' ')) + "If you are not using Audio, select 'No Audio'.");
    EXPECT_EQ(caption(window, "Label4"), "4.  Select the HDD size of the DVR you are using.");
    EXPECT_EQ(caption(window, "Label5"), "5.  Click Calculate." + QString(105, QLatin1Char(' ')) +
                                             "The program will display the Recording Time, in "
                                             "both hours and days.");
    EXPECT_EQ(caption(window, "Label6"), "6.  Click Clear to reset all settings and start over.");
}

TEST_F(HelpWindowsTest, GlossaryTextsAreExact) {
    HelpWindow* window = m_windows->openHelpWindow(HelpWindowKind::glossary);
    const auto spaces = [](int n) { return QString(n, QLatin1Char(' ')); };
    const std::pair<const char*, QString> captions[] = {
        {"Label6", "# of Cameras :   "},
        {"Label7", "Resolution  :"},
        {"Label9", "Picture Quality : "},
        {"Label10", "Recording Rate : "},
        {"Label11", "Audio Rate :"},
        {"Label12", "HDD Size :"},
        {"Label8",
         "This is the number of cameras that are connected to the DVR.   (1 to 16 cameras)"},
        {"Label1",
         "This represents the size of the image, in pixels.  The available resolutions "
         "on this DVR     are 720 x 240 (2CIF) and 360 x 240 (CIF).  The resolution "
         "and the number of cameras will determine the available recording rates of "
         "each video source."},
        {"Label2",
         "This is the setting that controls the quality of the picture you are "
         "capturing.  The highest quality setting will use the most hard disk space.  "
         "The lowest quality setting will use up the least amount of hard disk space.  "
         "(Q7 - High, Q4 - Average, Q1 - Low)"},
        {"Label3",
         "This is the number of images recorded per second.  The higher the recording "
         "rate, the smoother the video will be during playback.  A lower recording rate "
         "will conserve hard disk space and lengthen recording time, but may be choppy "
         "upon playack."},
        {"Label5", "This is the sampling rate of the audio recording being done by the DVR." +
                       spaces(21) +
                       "You may select 'No Audio', '8 kHz Audio (8kb/sec)' and '12 kHz Audio "
                       "(12kb/sec)."},
        {"Label4", "Talvex DVRs work with hard disk sizes of 40GB, 80GB, 120GB, 160GB and 250GB." +
                       spaces(10) +
                       "The MV-4016 will support up to 4 internal HDD's (for up to 1TB of "
                       "storage.)" +
                       spaces(13) +
                       "This DVR is shipped with HDDs in 250GB increments (250GB, 500, 750, and "
                       "1TB.)"},
    };
    for (const auto& [name, text] : captions) {
        EXPECT_EQ(caption(window, name), text) << name;
    }
}

TEST_F(HelpWindowsTest, AboutShowsItsTextsAndPictures) {
    HelpWindow* window = m_windows->openHelpWindow(HelpWindowKind::about);
    EXPECT_EQ(caption(window, "Label4"), "Version 1.0");
    EXPECT_TRUE(caption(window, "Label1").startsWith("This program will help you to estimate"));
    EXPECT_EQ(caption(window, "Label5"),
              "Actual recording time may vary, based on motion and other factors.  By using alarm "
              "triggers, motion activated recording or scheduled recording, more recording time "
              "can be achieved.");
    for (auto [name, geometry] :
         {std::pair{"Image1", QRect(96, 128, 120, 64)}, {"Image2", QRect(112, 224, 80, 24)}}) {
        auto* image = window->findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_EQ(image->geometry(), geometry) << name;
        EXPECT_EQ(image->pixmap().deviceIndependentSize().toSize(), geometry.size()) << name;
    }
}

TEST_F(HelpWindowsTest, LongRunOfSpacesStartsANewLine) {
    HelpWindow* window = m_windows->openHelpWindow(HelpWindowKind::instructions);
    const auto lines = window->findChild<CaptionLabel*>(QStringLiteral("Label5"))->visibleLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].trimmed(), "5.  Click Calculate.");
    EXPECT_TRUE(lines[1].startsWith("The program will display")) << lines[1].toStdString();
    // Short runs are ordinary spacing and stay on the line.
    const auto glossary = m_windows->openHelpWindow(HelpWindowKind::glossary)
                              ->findChild<CaptionLabel*>(QStringLiteral("Label8"))
                              ->visibleLines();
    ASSERT_EQ(glossary.size(), 1);
    EXPECT_TRUE(glossary[0].contains("DVR.   (1 to 16"));
}

TEST_F(HelpWindowsTest, OkReturnsToTheMainWindowWithItsState) {
    CalculatorWindow* main = m_windows->showCalculator();
    main->list(ListId::cameras)->setFocus();
    QTest::keyClick(main->list(ListId::cameras), Qt::Key_Down);
    pressOk(m_windows->openHelpWindow(HelpWindowKind::instructions));
    EXPECT_EQ(m_windows->helpWindow(HelpWindowKind::instructions), nullptr);
    EXPECT_EQ(liveTopLevels("instructions"), 0);
    EXPECT_EQ(m_windows->calculator(), main);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->list(ListId::cameras)->currentText(), "1");
    // From the taskbar too: OK never leaves an empty screen.
    main->showMinimized();
    pressOk(m_windows->openHelpWindow(HelpWindowKind::glossary));
    EXPECT_FALSE(main->isMinimized());
    EXPECT_TRUE(QTest::qWaitForWindowActive(main));
}

TEST_F(HelpWindowsTest, OkInOneWindowClosesOnlyThatOne) {
    for (auto kind :
         {HelpWindowKind::instructions, HelpWindowKind::glossary, HelpWindowKind::about}) {
        m_windows->openHelpWindow(kind);
    }
    pressOk(m_windows->helpWindow(HelpWindowKind::glossary));
    EXPECT_EQ(m_windows->helpWindow(HelpWindowKind::glossary), nullptr);
    EXPECT_NE(m_windows->helpWindow(HelpWindowKind::instructions), nullptr);
    EXPECT_NE(m_windows->helpWindow(HelpWindowKind::about), nullptr);
    // Opened again, it is a new window.
    EXPECT_TRUE(m_windows->openHelpWindow(HelpWindowKind::glossary)->isVisible());
}

TEST_F(HelpWindowsTest, ClosedMainWindowComesBackInItsStartUpState) {
    CalculatorWindow* main = m_windows->showCalculator();
    main->list(ListId::audio)->setFocus();
    QTest::keyClick(main->list(ListId::audio), Qt::Key_Down);
    HelpWindow* instructions = m_windows->openHelpWindow(HelpWindowKind::instructions);
    main->close();  // through the window system
    processDeletions();
    EXPECT_EQ(m_windows->calculator(), nullptr);
    EXPECT_TRUE(instructions->isVisible());

    pressOk(instructions);
    CalculatorWindow* fresh = m_windows->calculator();
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(fresh->isVisible());
    EXPECT_EQ(fresh->list(ListId::audio)->currentText(), "< select audio sampling rate >");
    EXPECT_EQ(fresh->focusWidget(), fresh->findChild<QWidget*>(QStringLiteral("cmdCalculate")));
    EXPECT_EQ(liveTopLevels("calculator"), 1);
}

TEST_F(HelpWindowsTest, ExitClosesEveryWindow) {
    CalculatorWindow* main = m_windows->showCalculator();
    for (auto kind :
         {HelpWindowKind::instructions, HelpWindowKind::glossary, HelpWindowKind::about}) {
        m_windows->openHelpWindow(kind);
    }
    QSignalSpy quit(m_windows.get(), &WindowCoordinator::quitRequested);
    main->findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
    processDeletions();
    EXPECT_EQ(quit.count(), 1);
    EXPECT_EQ(m_windows->calculator(), nullptr);
    for (const char* name : {"calculator", "instructions", "glossary", "about"}) {
        EXPECT_EQ(liveTopLevels(name), 0) << name;
    }
}

TEST_F(HelpWindowsTest, MainAndAboutWindowsAreCentredWithTheirFrames) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (QWidget* window : std::initializer_list<QWidget*>{
             m_windows->showCalculator(), m_windows->openHelpWindow(HelpWindowKind::about)}) {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        const QRect frame = window->frameGeometry();
        const QPointF offCentre = QRectF(frame).center() - QRectF(screen).center();
        // Within rounding to whole pixels, in layout and on the device.
        EXPECT_LE(std::max(std::abs(offCentre.x()), std::abs(offCentre.y())), 2.0)
            << window->objectName().toStdString() << ": frame " << frame.x() << ", " << frame.y()
            << " " << frame.width() << " x " << frame.height();
        // Whatever watches for the frame leaves the window its own events: it still repaints.
        PaintCounter counter(window);
        window->update();
        EXPECT_TRUE(QTest::qWaitFor([&counter] { return counter.paints > 0; }))
            << window->objectName().toStdString();
    }
}

// The program runs on while any of its windows is open, about included, and ends with the last.
TEST_F(HelpWindowsTest, ProgramEndsWithItsLastWindow) {
    QApplication::setQuitOnLastWindowClosed(true);
    CalculatorWindow* main = m_windows->showCalculator();
    QPointer<HelpWindow> about = m_windows->openHelpWindow(HelpWindowKind::about);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
    bool aboutOutlivedTheMainWindow = false;
    QTimer::singleShot(0, main, [main] { main->close(); });
    QTimer::singleShot(500, about, [&about, &aboutOutlivedTheMainWindow] {
        aboutOutlivedTheMainWindow = about->isVisible();
        about->close();
    });
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    stop.start(10000);
    const int ended = QApplication::exec();
    QApplication::setQuitOnLastWindowClosed(false);
    EXPECT_TRUE(aboutOutlivedTheMainWindow);
    EXPECT_EQ(ended, 0) << "the program did not end with its last window";
}

// What each window tells the window system of its frame: the main and about windows are fixed,
// with no sizing border; about has no taskbar entry, instructions and glossary have one. Every
// title bar has a close box and none a maximise button; only the main window's can minimise.
TEST_F(HelpWindowsTest, FramesAsTheWindowSystemIsTold) {
    CalculatorWindow* main = m_windows->showCalculator();
    std::vector<std::pair<QWidget*, bool>> windows = {{main, true}};  // window, fixed
    for (const auto kind :
         {HelpWindowKind::instructions, HelpWindowKind::glossary, HelpWindowKind::about}) {
        windows.emplace_back(m_windows->openHelpWindow(kind), kind == HelpWindowKind::about);
    }
    for (const auto& [window, fixed] : windows) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        const std::string name = window->objectName().toStdString();
        const bool onTaskbar = window->objectName() != "about";
        const WindowSystemFrame frame = frameOf(window);
        if (!frame.known) {
            GTEST_SKIP() << "no window system to ask on "
                         << QGuiApplication::platformName().toStdString();
        }
        EXPECT_EQ(frame.sizable, !fixed) << name;
        EXPECT_TRUE(frame.closable) << name;
        EXPECT_EQ(frame.minimisable, window == main) << name;
        EXPECT_FALSE(frame.maximisable) << name;
        EXPECT_EQ(frame.onTaskbar, onTaskbar) << name;
    }
}

TEST_F(HelpWindowsTest, EnterPressesOkAndEscapeDoesNothing) {
    HelpWindow* about = m_windows->openHelpWindow(HelpWindowKind::about);
    QTest::keyClick(about->focusWidget(), Qt::Key_Escape);
    processDeletions();
    ASSERT_NE(m_windows->helpWindow(HelpWindowKind::about), nullptr);
    QTest::keyClick(about->focusWidget(), Qt::Key_Return);
    processDeletions();
    EXPECT_EQ(m_windows->helpWindow(HelpWindowKind::about), nullptr);
    EXPECT_NE(m_windows->calculator(), nullptr);
}

}  // namespace
}  // namespace storagecalc::testing
