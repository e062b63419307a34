// Every caption, entry and prompt must fit its control at the program's 8-point font, and the
// window must keep its design at any scale factor (the suite runs once per factor).
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>

#include "tests/ui/window_fixture.h"
#include "ui/window_coordinator.h"

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

class TextFitTest : public UiTest {};

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
