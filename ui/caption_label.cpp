#include "ui/caption_label.h"

#include <QPainter>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QTextLayout>
#include <algorithm>
#include <limits>

namespace storagecalc {

CaptionLabel::CaptionLabel(const QString& caption, QWidget* parent)
    : QLabel(parent), m_givenFont(font()) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setText(caption);
}

std::vector<CaptionLabel::Line> CaptionLabel::layOut(const QFont& font, qreal maxHeight) const {
    // A long run of spaces was meant to fill the rest of its line.
    static const QRegularExpression lineBreakingRun(QStringLiteral(" {10,}"));
    const qreal lineHeight = QFontMetricsF(font).lineSpacing();  // as painted
    std::vector<Line> lines;
    qreal y = 0;
    for (const QString& paragraph : text().split(lineBreakingRun)) {
        QTextLayout layout(paragraph, font);
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

bool CaptionLabel::fitsWhole(const QFont& font) const {
    // What the window shows of the label: a label may reach past the window's edge.
    const int shownWidth =
        parentWidget() != nullptr ? std::min(width(), parentWidget()->width() - x()) : width();
    const std::vector<Line> lines = layOut(font, std::numeric_limits<qreal>::max());
    if (static_cast<qreal>(lines.size()) * QFontMetricsF(font).lineSpacing() > height() + 0.5) {
        return false;
    }
    return std::ranges::all_of(lines,
                               [shownWidth](const Line& line) { return line.width <= shownWidth; });
}

void CaptionLabel::fitFont() {
    if (width() <= 0 || height() <= 0) {
        return;
    }
    const QScopedValueRollback<bool> guard(m_fitting, true);
    constexpr int kNarrowest = 75;    // per cent of the normal width
    constexpr qreal kSmallest = 5.0;  // points
    constexpr qreal kPointStep = 0.25;
    QFont font = m_givenFont;
    if (!fitsWhole(font)) {
        const int given = font.stretch() > 0 ? font.stretch() : int(QFont::Unstretched);
        for (int stretch = given - 1; stretch >= kNarrowest && !fitsWhole(font); --stretch) {
            font.setStretch(stretch);
        }
        const qreal size = font.pointSizeF();
        for (int step = 1; !fitsWhole(font) && size - (step * kPointStep) >= kSmallest; ++step) {
            font.setPointSizeF(size - (step * kPointStep));
        }
    }
    if (font != this->font()) {
        setFont(font);
    }
}

void CaptionLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    fitFont();
}

void CaptionLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange && !m_fitting) {
        m_givenFont = font();
        fitFont();
    }
}

QStringList CaptionLabel::visibleLines() const {
    QStringList result;
    for (const Line& line : layOut(font(), height())) {
        result << line.text;
    }
    return result;
}

void CaptionLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    const QFontMetricsF metrics(font());
    qreal y = metrics.ascent();
    for (const Line& line : layOut(font(), height())) {
        qreal x = 0;
        if (alignment() & Qt::AlignHCenter) {
            x = (width() - line.width) / 2;
        } else if (alignment() & Qt::AlignRight) {
            x = width() - line.width;
        }
        painter.drawText(QPointF(x, y), line.text);
        y += metrics.lineSpacing();
    }
}

GlyphLabel::GlyphLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
}

QSize GlyphLabel::sizeHint() const {
    // A pixel of room on each side for the anti-aliased edge.
    const QRectF ink = QFontMetricsF(font()).tightBoundingRect(text());
    return ink.size().toSize().grownBy(QMargins(1, 1, 1, 1) + contentsMargins());
}

void GlyphLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    const QRectF ink = QFontMetricsF(font()).tightBoundingRect(text());
    painter.drawText(QRectF(contentsRect()).center() - ink.center(), text());
}

}  // namespace storagecalc
