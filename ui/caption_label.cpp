// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "ui/caption_label.h"

#include <QPainter>
#include <QRegularExpression>
#include <QTextLayout>
#include <algorithm>
#include <limits>

namespace storagecalc {

CaptionLabel::CaptionLabel(const QString& caption, QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setText(caption);
}

std::vector<CaptionLabel::Line> CaptionLabel::layOut(const QFont& font, qreal maxHeight) const {
    // A long run of spaces was meant to fill the rest of its line.
    static const QRegularExpression lineBreakingRun(QStringLiteral(" {10,}"));
    const qreal lineHeight = lineBox(font).spacing;  // as painted
    std::vector<Line> lines;
    qreal y = 0;
    for (const QString& paragraph : text().split(lineBreakingRun)) {
        // Measured for this label's screen, as it is painted: the font alone would be measured
        // for the primary screen's density.
        QTextLayout layout(paragraph, font, this);
        QTextOption option(alignment());
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width());
            if (y + lineHeight > maxHeight + 0.5) {
                layout.endLayout();
                return lines;  // cut off
            }
            lines.push_back(
                {paragraph.mid(line.textStart(), line.textLength()), line.naturalTextWidth()});
            y += lineHeight;
        }
        layout.endLayout();
    }
    return lines;
}

CaptionLabel::LineBox CaptionLabel::lineBox(const QFont& font) const {
    const QFontMetricsF metrics(font, this);
    const qreal em =
        font.pointSizeF() > 0 ? font.pointSizeF() * logicalDpiY() / 72.0 : qreal(font.pixelSize());
    if (metrics.height() <= 1.25 * em) {
        return {metrics.ascent(), metrics.lineSpacing()};
    }
    // Some fonts keep far more room above and below their glyphs than a line of plain text
    // takes (Nimbus Sans, for accents over capitals), and would cost the caption its size: the
    // lines then stand as close as the caption's own ink allows, a fifth of the size apart.
    const QRectF ink = metrics.tightBoundingRect(text());
    const qreal gap = em / 5;
    return {std::min(metrics.ascent(), (gap / 2) - ink.top()),
            std::min(metrics.lineSpacing(), ink.height() + gap)};
}

bool CaptionLabel::fitsWhole(const QFont& font, int shownWidth) const {
    const std::vector<Line> lines = layOut(font, std::numeric_limits<qreal>::max());
    if (static_cast<qreal>(lines.size()) * lineBox(font).spacing > height() + 0.5) {
        return false;
    }
    return std::ranges::all_of(lines,
                               [shownWidth](const Line& line) { return line.width <= shownWidth; });
}

CaptionLabel::FitInputs CaptionLabel::fitInputs() const {
    // What the window shows of the label: a label may reach past the window's edge.
    const int shownWidth =
        parentWidget() != nullptr ? std::min(width(), parentWidget()->width() - x()) : width();
    return {text(), font(), logicalDpiY(), devicePixelRatioF(), size(), shownWidth};
}

QFont CaptionLabel::shownFont() const {
    // Fitted when first asked for after a change rather than on each event that can bring one
    // (a font from outside, a resize, a move to a screen of another density or DPI): the label
    // never sets a font on itself, so nothing it does comes back to it as a change.
    const FitInputs inputs = fitInputs();
    if (m_fittedFor == inputs) {
        return m_shownFont;
    }
    m_fittedFor = inputs;
    constexpr int kNarrowest = 75;    // per cent of the normal width
    constexpr qreal kSmallest = 5.0;  // points
    constexpr qreal kPointStep = 0.25;
    QFont font = inputs.font;
    if (width() > 0 && height() > 0 && !fitsWhole(font, inputs.shownWidth)) {
        const int given = font.stretch() > 0 ? font.stretch() : int(QFont::Unstretched);
        for (int stretch = given - 1; stretch >= kNarrowest && !fitsWhole(font, inputs.shownWidth);
             --stretch) {
            font.setStretch(stretch);
        }
        const qreal size = font.pointSizeF();
        for (int step = 1;
             !fitsWhole(font, inputs.shownWidth) && size - (step * kPointStep) >= kSmallest;
             ++step) {
            font.setPointSizeF(size - (step * kPointStep));
        }
    }
    m_shownFont = font;
    return m_shownFont;
}

QStringList CaptionLabel::visibleLines() const {
    QStringList result;
    for (const Line& line : layOut(shownFont(), height())) {
        result << line.text;
    }
    return result;
}

void CaptionLabel::paintEvent(QPaintEvent* /*event*/) {
    const QFont font = shownFont();
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font);
    const LineBox box = lineBox(font);
    qreal y = box.ascent;
    for (const Line& line : layOut(font, height())) {
        qreal x = 0;
        if (alignment() & Qt::AlignHCenter) {
            x = (width() - line.width) / 2;
        } else if (alignment() & Qt::AlignRight) {
            x = width() - line.width;
        }
        painter.drawText(QPointF(x, y), line.text);
        y += box.spacing;
    }
}

GlyphLabel::GlyphLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
}

QSize GlyphLabel::sizeHint() const {
    // A pixel of room on each side for the anti-aliased edge.
    const QRectF ink = QFontMetricsF(font(), this).tightBoundingRect(text());
    return ink.size().toSize().grownBy(QMargins(1, 1, 1, 1) + contentsMargins());
}

void GlyphLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    const QRectF ink = QFontMetricsF(font(), this).tightBoundingRect(text());
    painter.drawText(QRectF(contentsRect()).center() - ink.center(), text());
}

}  // namespace storagecalc
