// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// Every caption, entry and prompt must fit its control at the program's 8-point font, and the
// windows must keep their design at any scale factor (the suite runs once per factor). Besides
// the metrics, the painted pictures of the windows are checked: black wherever no control lies,
// every caption's ink whole and inside its label, centred where the design centres it.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTest>
#include <QTextLayout>
#include <QWindow>
#include <QtMath>
#include <map>

#include "ui/caption_frame.h"
#include "ui/caption_label.h"
#include "ui/look.h"
#include "ui/window_coordinator.h"
#include "window_fixture.h"

namespace storagecalc::testing {
namespace {

// Room for text inside a combo box's field, in layout pixels.
int fieldTextWidth(const QComboBox* combo) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = true;
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, combo);
    const QMargins margins = combo->lineEdit()->textMargins();
    return field.width() - margins.left() - margins.right() - 2 * 2;  // QLineEdit's own margin
}

int lineEditTextWidth(const QLineEdit* edit) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame()
                           ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                           : 0;
    const QRect contents =
        edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    return contents.width() - edit->textMargins().left() - edit->textMargins().right() - 2 * 2;
}

QStringList everyText(ListId id) {
    std::vector<std::string> texts = {OptionCatalogue::placeholder(id)};
    const auto add = [&texts](const TextList& more) {
        texts.insert(texts.end(), more.begin(), more.end());
    };
    for (auto standard : {VideoStandard::NTSC, VideoStandard::PAL}) {
        switch (id) {
            case ListId::cameras:
                add(OptionCatalogue::cameraTexts());
                break;
            case ListId::resolution:
                add(OptionCatalogue::resolutionTexts(standard));
                break;
            case ListId::quality:
                add(OptionCatalogue::qualityTexts(0));
                add(OptionCatalogue::qualityTexts(1));
                break;
            case ListId::frameRate:
                add(OptionCatalogue::rateTexts(standard));
                break;
            case ListId::audio:
                add(OptionCatalogue::audioTexts());
                break;
            case ListId::hddsize:
                add(OptionCatalogue::hddTexts());
                break;
        }
    }
    QStringList result;
    for (const auto& text : texts)
        result << QString::fromStdString(text);
    return result;
}

// The labels of each help window, in the order of the design.
const std::pair<HelpWindowKind, std::vector<const char*>> kHelpLabels[] = {
    {HelpWindowKind::instructions, {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6"}},
    {HelpWindowKind::glossary,
     {"Label6", "Label8", "Label7", "Label1", "Label9", "Label2", "Label10", "Label3", "Label11",
      "Label5", "Label12", "Label4"}},
    {HelpWindowKind::about, {"Label1", "Label5", "Label4", "Label3", "Label2"}},
};

const char* windowName(HelpWindowKind kind) {
    switch (kind) {
        case HelpWindowKind::instructions:
            return "instructions";
        case HelpWindowKind::glossary:
            return "glossary";
        case HelpWindowKind::about:
            break;
    }
    return "about";
}

struct LaidOutLine {
    QString text;
    qreal width;
};

// The font a label's text is painted in.
QFont paintedFont(const QLabel* label) {
    const auto* caption = qobject_cast<const CaptionLabel*>(label);
    return caption != nullptr ? caption->shownFont() : label->font();
}

// The whole caption laid out as a label shows it: wrapped at spaces to the label's width with
// font, a run of ten or more spaces ending its line. Nothing is cut off here.
std::vector<LaidOutLine> layOutWhole(const QLabel* label, const QFont& font) {
    static const QRegularExpression lineBreakingRun(QStringLiteral(" {10,}"));
    std::vector<LaidOutLine> lines;
    for (const QString& paragraph : label->text().split(lineBreakingRun)) {
        QTextLayout layout(paragraph, font, label);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(label->contentsRect().width());
            lines.push_back(
                {paragraph.mid(line.textStart(), line.textLength()), line.naturalTextWidth()});
        }
        layout.endLayout();
    }
    return lines;
}

// Whether every line of the caption in font lies inside what its window shows of the label, its
// lines as far apart as the label sets them.
bool fitsWhole(const CaptionLabel* label, const QFont& font) {
    const QRect room = label->geometry().intersected(label->parentWidget()->rect());
    const std::vector<LaidOutLine> lines = layOutWhole(label, font);
    // Half a pixel of a last line's spacing may go: its ink ends well above.
    return qreal(lines.size()) * label->lineBox(font).spacing <= label->height() + 0.5 &&
           std::ranges::all_of(lines,
                               [&room](const auto& line) { return line.width <= room.width(); });
}

// Ink: anything clearly brighter than the black background.
bool isInk(QRgb pixel) {
    return qAlpha(pixel) > 0 && std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) > 48;
}

// The bounding box of the ink inside area of image (device pixels); empty when there is none.
QRect inkBounds(const QImage& image, const QRect& area) {
    QRect ink;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (isInk(image.pixel(x, y))) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

// Whether font draws upright: the stem of an "l", drawn large, stands where it stands at its
// foot rather than leaning right.
bool isUpright(QFont font) {
    font.setPixelSize(64);
    QImage image(96, 96, QImage::Format_ARGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        painter.setPen(Qt::white);
        painter.setFont(font);
        painter.drawText(QPointF(32, 80), QStringLiteral("l"));
    }
    const QRect stem = inkBounds(image, image.rect());
    const auto middleOfInk = [&image](int y) {
        const QRect ink = inkBounds(image, QRect(0, y, image.width(), 1));
        return ink.center().x();
    };
    return std::abs(middleOfInk(stem.top() + 4) - middleOfInk(stem.bottom() - 4)) <= 1;
}

QImage grabImage(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// A layout rectangle in device pixels of an image taken at ratio, grown to whole pixels.
QRect toDevice(const QRectF& rect, qreal ratio) {
    const QRectF scaled(rect.topLeft() * ratio, rect.size() * ratio);
    return scaled.toAlignedRect();
}

// The same caption painted with room to spare on every side, so that nothing of its ink is
// cut off; margin is where the label's own rectangle starts in it.
QImage unclippedTwin(const QLabel* label, int margin) {
    QWidget frame;
    frame.setPalette(captionPalette(frame.palette()));
    frame.setAutoFillBackground(true);
    QLabel* twin = nullptr;
    if (const auto* caption = qobject_cast<const CaptionLabel*>(label)) {
        // A caption wraps at its width: the twin keeps the width and shows every line.
        twin = new CaptionLabel(caption->text(), &frame);
        twin->resize(label->width(), label->height() + 20 * label->fontMetrics().lineSpacing());
        twin->move(margin, margin);
    } else {
        // The text is placed in the contents: margins all round leave it where it was.
        twin = qobject_cast<const GlyphLabel*>(label) != nullptr
                   ? new GlyphLabel(label->text(), &frame)
                   : new QLabel(label->text(), &frame);
        twin->setContentsMargins(margin, margin, margin, margin);
        twin->resize(label->size() + QSize(2 * margin, 2 * margin));
    }
    twin->setFont(paintedFont(label));
    twin->setAlignment(label->alignment());
    frame.resize(twin->geometry().bottomRight().x() + 1 + margin,
                 twin->geometry().bottomRight().y() + 1 + margin);
    return grabImage(&frame);
}

// The windows whose pictures are checked, each shown as on start-up.
class PaintedWindows {
  public:
    PaintedWindows() {
        for (const auto& [kind, labels] : kHelpLabels) {
            (void)labels;
            m_help.push_back(std::make_unique<HelpWindow>(kind));
            m_help.back()->setAttribute(Qt::WA_DeleteOnClose, false);
            m_help.back()->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(m_help.back().get()));
        }
    }
    HelpWindow* help(HelpWindowKind kind) const {
        return m_help.at(static_cast<std::size_t>(kind)).get();
    }

  private:
    std::vector<std::unique_ptr<HelpWindow>> m_help;
};

class TextFitTest : public UiTest {
  protected:
    // The caption labels of every window: the main window's units in Frame5, then each help
    // window's, with the window they lie in.
    std::vector<std::pair<QWidget*, QLabel*>> captionLabels(const PaintedWindows& help) {
        std::vector<std::pair<QWidget*, QLabel*>> labels;
        for (const char* name : {"Label1", "Label2"}) {
            labels.emplace_back(m_window->centralWidget(), qobject_cast<QLabel*>(child(name)));
        }
        for (const auto& [kind, names] : kHelpLabels) {
            for (const char* name : names) {
                labels.emplace_back(help.help(kind),
                                    help.help(kind)->findChild<QLabel*>(QString::fromLatin1(name)));
            }
        }
        return labels;
    }
};

TEST_F(TextFitTest, EveryEntryAndPromptFitsItsList) {
    openWindow();
    for (ListId id : kAllLists) {
        const QComboBox* list = combo(id);
        const QFontMetrics metrics(list->font());
        for (const QString& text : everyText(id)) {
            EXPECT_LE(metrics.horizontalAdvance(text), fieldTextWidth(list))
                << list->objectName().toStdString() << ": " << text.toStdString();
        }
    }
}

TEST_F(TextFitTest, LongestResultsFitTheirBoxes) {
    openWindow();
    // The extremes of all reachable choices: 1 camera at 1 IPS on 1 TB with 3 KB images,
    // and a narrow digit-for-digit worst case with the widest digits.
    const std::pair<const char*, QStringList> results[] = {{"txtHours", {"91145.8", "88888.8"}},
                                                           {"txtDays", {"3797.7", "8888.8"}}};
    for (const auto& [name, texts] : results) {
        auto* box = qobject_cast<QLineEdit*>(child(name));
        for (const QString& text : texts) {
            EXPECT_LE(QFontMetrics(box->font()).horizontalAdvance(text), lineEditTextWidth(box))
                << name << ": " << text.toStdString();
        }
    }
}

TEST_F(TextFitTest, CaptionsFitFramesLabelsAndButtons) {
    openWindow();
    for (QGroupBox* frame : m_window->findChildren<QGroupBox*>()) {
        EXPECT_LE(frame->fontMetrics().horizontalAdvance(frame->title()) + 16, frame->width())
            << frame->objectName().toStdString();
    }
    for (QPushButton* button : m_window->findChildren<QPushButton*>()) {
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width());
    }
    for (const char* name : {"Label1", "Label2"}) {
        auto* label = qobject_cast<QLabel*>(child(name));
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << name;
    }
    auto* divider = qobject_cast<QLabel*>(child("Label3"));
    const QRect glyph = QFontMetrics(divider->font()).tightBoundingRect(QStringLiteral("/"));
    EXPECT_LE(glyph.height(), divider->height());
}

TEST_F(TextFitTest, EveryHelpCaptionShowsWhole) {
    const PaintedWindows windows;
    // Where the design's fonts are installed every caption fits in the design's font.
    const QString family = QFontInfo(dialogFont()).family();
    const bool designFonts = family == "Liberation Sans" || family == "Arial";
    for (const auto& [kind, names] : kHelpLabels) {
        HelpWindow* window = windows.help(kind);
        EXPECT_EQ(window->findChildren<CaptionLabel*>().size(), qsizetype(names.size()))
            << windowName(kind);
        for (const char* name : names) {
            const auto* label = window->findChild<CaptionLabel*>(QString::fromLatin1(name));
            ASSERT_NE(label, nullptr) << windowName(kind) << " " << name;
            const std::string where = std::string(windowName(kind)) + " " + name;
            // What the window leaves visible of the label.
            const QRect room = label->geometry().intersected(window->rect());
            // Lines below the label's height would be cut off: CaptionInkIsWholeAndInsideItsLabel
            // finds them by their ink.
            const std::vector<LaidOutLine> lines = layOutWhole(label, label->shownFont());
            QStringList texts;
            for (const LaidOutLine& line : lines) {
                EXPECT_LE(line.width, room.width()) << where << ": \"" << line.text.toStdString();
                texts << line.text;
            }
            EXPECT_EQ(label->visibleLines(), texts) << where;
            // Narrowed or smaller only where the label's own font does not fit.
            const bool fits = fitsWhole(label, label->font());
            EXPECT_TRUE(fits || !designFonts) << where << " in " << family.toStdString();
            if (fits) {
                EXPECT_EQ(label->shownFont(), label->font()) << where;
            }
            // With any of the fonts tried here, narrowing does nearly all of it: the text stays
            // about as large as designed.
            EXPECT_GE(label->shownFont().pointSizeF(), label->font().pointSizeF() - 0.5) << where;
        }
    }
}

// The font each caption of window is painted in, by label.
std::map<QString, QFont> shownFonts(const QWidget* window) {
    std::map<QString, QFont> fonts;
    for (const CaptionLabel* label : window->findChildren<CaptionLabel*>()) {
        EXPECT_TRUE(fitsWhole(label, label->shownFont()))
            << window->objectName().toStdString() << " " << label->objectName().toStdString();
        fonts[label->objectName()] = label->shownFont();
    }
    return fonts;
}

// A font set from outside is the one each fit starts from, and a fit never sticks.
TEST_F(TextFitTest, CaptionsFitAgainWhenTheFontChanges) {
    const PaintedWindows windows;
    for (const auto& [kind, names] : kHelpLabels) {
        HelpWindow* window = windows.help(kind);
        const std::map<QString, QFont> designed = shownFonts(window);
        QFont larger = dialogFont();
        larger.setPointSize(11);
        window->setFont(larger);
        // As a window opened in that font fits them.
        HelpWindow opened(kind);
        opened.setFont(larger);
        opened.show();
        EXPECT_EQ(shownFonts(window), shownFonts(&opened)) << windowName(kind);
        window->setFont(dialogFont());
        EXPECT_EQ(shownFonts(window), designed) << windowName(kind);
    }
}

// Run with two screens of different density (ctest does): a window dragged to the denser screen
// fits its captions there as a window opened on it does, narrower than before, and back on the
// first screen as before.
TEST_F(TextFitTest, CaptionsFitAgainOnAnotherScreen) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() < 2) {
        GTEST_SKIP() << "needs a second screen";
    }
    const auto moveTo = [](QWidget* window, QScreen* screen) {
        window->windowHandle()->setScreen(screen);
        window->move(screen->geometry().topLeft() + QPoint(20, 20));
        QCoreApplication::processEvents();
    };
    for (const auto& [kind, names] : kHelpLabels) {
        HelpWindow moved(kind);
        moved.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&moved));
        moveTo(&moved, screens[0]);
        const std::map<QString, QFont> first = shownFonts(&moved);
        for (QScreen* screen : {screens[1], screens[0], screens[1]}) {
            moveTo(&moved, screen);
            ASSERT_EQ(moved.screen(), screen);
            HelpWindow opened(kind);
            opened.show();
            moveTo(&opened, screen);
            const std::string where = std::string(windowName(kind)) + " on " +
                                      screen->name().toStdString() + " at " +
                                      std::to_string(moved.logicalDpiY()) + " dpi";
            EXPECT_EQ(shownFonts(&moved), shownFonts(&opened)) << where;
            if (screen == screens[1]) {
                EXPECT_NE(shownFonts(&moved), first) << where;
            }
        }
        moveTo(&moved, screens[0]);
        EXPECT_EQ(shownFonts(&moved), first) << windowName(kind);
    }
}

TEST_F(TextFitTest, DividerInkLiesInsideItsLabelClearOfTheResults) {
    openWindow();
    auto* divider = qobject_cast<QLabel*>(child("Label3"));
    constexpr int kMargin = 20;
    const QImage twin = unclippedTwin(divider, kMargin);
    const qreal ratio = twin.devicePixelRatio();
    const QRect ink = inkBounds(twin, twin.rect());
    const QRect label = toDevice(QRectF(QPointF(kMargin, kMargin), divider->size()), ratio);
    EXPECT_TRUE(label.contains(ink))
        << QFontInfo(divider->font()).family().toStdString() << ": ink " << ink.width() << " x "
        << ink.height() << " at " << ink.x() - label.x() << ", " << ink.y() - label.y() << " in "
        << label.width() << " x " << label.height();
    // The label shows all of it.
    const QImage shown = grabImage(divider);
    EXPECT_EQ(inkBounds(shown, shown.rect()), ink.translated(-label.topLeft()));
    // Centred on the design's place (96, 8, 12 x 49), clear of both result boxes.
    EXPECT_NEAR(divider->x() + divider->width() / 2.0, 96 + 12 / 2.0, 0.5);
    EXPECT_NEAR(divider->y() + divider->height() / 2.0, 8 + 49 / 2.0, 0.5);
    EXPECT_FALSE(divider->geometry().intersects(child("txtDays")->geometry()));
    EXPECT_FALSE(divider->geometry().intersects(child("txtHours")->geometry()));
}

TEST_F(TextFitTest, ClientAreasAreBlackWhereNoControlLies) {
    openWindow();
    const PaintedWindows help;
    std::vector<QWidget*> clients = {m_window->centralWidget()};
    for (const auto& [kind, labels] : kHelpLabels) {
        (void)labels;
        clients.push_back(help.help(kind));
    }
    for (QWidget* client : clients) {
        // The whole window, as the user sees it: a client area that stopped painting its
        // background would show the window's own grey through.
        QWidget* window = client->window();
        const QImage image = grabImage(window);
        const qreal ratio = image.devicePixelRatio();
        const QPoint origin = client->mapTo(window, QPoint(0, 0));
        // Only the pixels that lie wholly in the client area.
        const QRect area = QRect(QPoint(qCeil(origin.x() * ratio), qCeil(origin.y() * ratio)),
                                 QPoint(qFloor((origin.x() + client->width()) * ratio) - 1,
                                        qFloor((origin.y() + client->height()) * ratio) - 1))
                               .intersected(image.rect());
        QRegion controls;
        for (QWidget* control : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            controls |= toDevice(control->geometry().translated(origin), ratio);
        }
        int stray = 0;
        QPoint first;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (!controls.contains(QPoint(x, y)) && image.pixel(x, y) != qRgb(0, 0, 0)) {
                    first = stray++ == 0 ? QPoint(x, y) : first;
                }
            }
        }
        EXPECT_EQ(stray, 0) << client->objectName().toStdString() << ": first at " << first.x()
                            << ", " << first.y();
    }
}

TEST_F(TextFitTest, CaptionInkIsWholeAndInsideItsLabel) {
    openWindow();
    const PaintedWindows help;
    constexpr int kMargin = 20;
    for (const auto& [window, label] : captionLabels(help)) {
        ASSERT_NE(label, nullptr);
        const std::string where =
            window->objectName().toStdString() + " " + label->objectName().toStdString();
        const QImage shown = grabImage(label);
        const qreal ratio = shown.devicePixelRatio();
        const QImage twin = unclippedTwin(label, kMargin);
        const QPoint offset = toDevice(QRectF(kMargin, kMargin, 1, 1), ratio).topLeft();
        const QRect whole = inkBounds(twin, twin.rect());
        ASSERT_FALSE(whole.isEmpty()) << where;
        EXPECT_TRUE(isUpright(paintedFont(label)))
            << where << ": " << QFontInfo(paintedFont(label)).styleName().toStdString();
        // All the ink the caption has lies inside the label's rectangle...
        EXPECT_TRUE(QRect(offset, shown.size()).contains(whole))
            << where << ": ink " << whole.width() << " x " << whole.height() << " at "
            << whole.x() - offset.x() << ", " << whole.y() - offset.y() << " in " << shown.width()
            << " x " << shown.height();
        // ...and the label shows all of it.
        EXPECT_EQ(inkBounds(shown, shown.rect()), whole.translated(-offset)) << where;
        // Inside the window too, not cut off at its edge.
        const QRect visible = label->geometry().intersected(label->parentWidget()->rect());
        EXPECT_LE(label->x() + whole.right() / ratio - offset.x() / ratio, visible.right() + 1)
            << where;
    }
}

TEST_F(TextFitTest, AboutTextsAreCentredOtherCaptionsStartAtTheLeft) {
    openWindow();
    const PaintedWindows help;
    for (const auto& [window, label] : captionLabels(help)) {
        const bool centred = window == help.help(HelpWindowKind::about);
        const std::string where =
            window->objectName().toStdString() + " " + label->objectName().toStdString();
        const QImage shown = grabImage(label);
        const qreal ratio = shown.devicePixelRatio();
        const auto* caption = qobject_cast<const CaptionLabel*>(label);
        const qreal lineSpacing = caption != nullptr
                                      ? caption->lineBox(caption->shownFont()).spacing
                                      : QFontMetricsF(paintedFont(label), label).lineSpacing();
        const qsizetype lineCount = caption != nullptr ? caption->visibleLines().size() : 1;
        for (qsizetype i = 0; i < lineCount; ++i) {
            const QRect band =
                caption != nullptr
                    ? toDevice(QRectF(0, qreal(i) * lineSpacing, label->width(), lineSpacing),
                               ratio)
                    : shown.rect();
            const QRect ink = inkBounds(shown, band);
            ASSERT_FALSE(ink.isEmpty()) << where << " line " << i;
            const qreal left = ink.left() / ratio;
            const qreal right = label->width() - (ink.right() + 1) / ratio;
            if (centred) {
                EXPECT_LE(std::abs(left - right) / 2, 1.0) << where << " line " << i << ": " << left
                                                           << " px left, " << right << " px right";
            } else {
                EXPECT_LE(left, 2.0) << where << " line " << i;
            }
        }
    }
}

// Every frame's border is drawn whole: its top line on both sides of the caption, at the
// height of an uncaptioned frame's top line, its sides and its bottom.
TEST_F(TextFitTest, FramesDrawTheirWholeBorder) {
    openWindow();
    const auto isBorder = [](QRgb pixel) {
        return isInk(pixel) && std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) < 200;
    };
    std::optional<int> uncaptionedTop;
    for (const auto* frame : m_window->findChildren<CaptionFrame*>()) {
        const std::string name = frame->objectName().toStdString();
        const QImage image = grabImage(const_cast<CaptionFrame*>(frame));
        const int right = image.width() - 1;
        const int bottom = image.height() - 1;
        // A line one layout pixel wide covers one device pixel or two.
        const int line = qCeil(image.devicePixelRatio());
        // The top line: the first row of border below the frame's top at its right end.
        int top = 0;
        while (top < image.height() && !isBorder(image.pixel(right - 2, top))) {
            ++top;
        }
        ASSERT_LT(top, image.height() / 2) << name;
        // Where the caption's white ink ends, the line starts again after a gap.
        const QRect caption = frame->title().isEmpty()
                                  ? QRect()
                                  : inkBounds(image, QRect(0, 0, image.width(), 2 * top + 2));
        if (frame->title().isEmpty()) {
            uncaptionedTop = uncaptionedTop.value_or(top);
            EXPECT_EQ(top, *uncaptionedTop) << name;
        }
        const auto rowHasBorder = [&](int from, int to) {
            for (int x = from; x <= to; ++x) {
                if (!isBorder(image.pixel(x, top)) && !isBorder(image.pixel(x, top + 1))) {
                    return false;
                }
            }
            return true;
        };
        const int gap = qCeil(CaptionFrame::kCaptionGap * image.devicePixelRatio()) + 1;
        if (caption.isEmpty()) {
            EXPECT_TRUE(rowHasBorder(0, right - line)) << name << " top";
        } else {
            EXPECT_TRUE(rowHasBorder(0, caption.left() - 2 * gap)) << name << " top, left";
            EXPECT_TRUE(rowHasBorder(caption.right() + 2 * gap, right - line))
                << name << " top, right";
        }
        const auto anyBorder = [&](const QRect& area) {
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    if (isBorder(image.pixel(x, y))) {
                        return true;
                    }
                }
            }
            return false;
        };
        for (int y = top + line; y < bottom - line; ++y) {
            EXPECT_TRUE(anyBorder(QRect(0, y, line, 1))) << name << " left side at " << y;
            EXPECT_TRUE(anyBorder(QRect(right - line + 1, y, line, 1)))
                << name << " right side at " << y;
        }
        for (int x = 0; x <= right - line; ++x) {
            EXPECT_TRUE(anyBorder(QRect(x, bottom - line + 1, 1, line)))
                << name << " bottom at " << x;
        }
    }
    EXPECT_TRUE(uncaptionedTop.has_value());
}

// The focus shows on an empty result box too: tabbing to it changes its border all round.
TEST_F(TextFitTest, EmptyResultBoxShowsTheFocus) {
    openWindow();
    for (const char* name : {"txtHours", "txtDays"}) {
        auto* box = qobject_cast<QLineEdit*>(child(name));
        ASSERT_TRUE(box->text().isEmpty()) << name;
        child("cmdClear")->setFocus(Qt::TabFocusReason);
        const QImage unfocused = grabImage(box);
        box->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(box->hasFocus()) << name;
        const QImage focused = grabImage(box);
        const int border = qCeil(2 * focused.devicePixelRatio());
        const QRect inside = focused.rect().adjusted(border, border, -border, -border);
        int ring = 0;
        int changed = 0;
        for (int y = 0; y < focused.height(); ++y) {
            for (int x = 0; x < focused.width(); ++x) {
                if (inside.contains(x, y)) {
                    continue;
                }
                const QRgb a = unfocused.pixel(x, y);
                const QRgb b = focused.pixel(x, y);
                ++ring;
                changed += std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                     std::abs(qBlue(a) - qBlue(b))}) > 48
                               ? 1
                               : 0;
            }
        }
        EXPECT_GE(changed, ring / 2) << name << ": " << changed << " of " << ring;
    }
}

TEST_F(TextFitTest, WindowKeepsItsDesignAtThisScale) {
    CalculatorWindow& window = openWindow();
    const qreal scale = window.devicePixelRatioF();
    const QPixmap shot = window.centralWidget()->grab();
    EXPECT_EQ(shot.deviceIndependentSize().toSize(), QSize(608, 427));
    EXPECT_EQ(shot.size(), (QSizeF(608, 427) * scale).toSize());
    for (const char* name : {"Image1", "Image2", "Picture1"}) {
        const QPixmap picture = qobject_cast<QLabel*>(child(name))->pixmap();
        // Above 1x the pictures come from the double-size drawings, so they stay sharp.
        EXPECT_EQ(picture.devicePixelRatio(), scale > 1.0 ? 2.0 : 1.0) << name;
        EXPECT_EQ(picture.deviceIndependentSize().toSize(), child(name)->size()) << name;
    }
}

}  // namespace
}  // namespace storagecalc::testing
