#include "ui/caption_label.h"

#include <QPainter>
#include <QRegularExpression>
#include <QTextLayout>

namespace storagecalc {

CaptionLabel::CaptionLabel(const QString& caption, QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setText(caption);
}

std::vector<CaptionLabel::Line> CaptionLabel::layOut() const {
    // A long run of spaces was meant to fill the rest of its line.
    static const QRegularExpression lineBreakingRun(QStringLiteral(" {10,}"));
    const qreal lineHeight = QFontMetricsF(font()).lineSpacing();  // as painted
    std::vector<Line> lines;
    qreal y = 0;
    for (const QString& paragraph : text().split(lineBreakingRun)) {
        QTextLayout layout(paragraph, font());
        QTextOption option(alignment());
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width());
            if (y + lineHeight > height() + 0.5) {
                layout.endLayout();
                return lines;  // cut off at the label's height
            }
            lines.push_back(
                {paragraph.mid(line.textStart(), line.textLength()), line.naturalTextWidth()});
            y += lineHeight;
        }
        layout.endLayout();
    }
    return lines;
}

QStringList CaptionLabel::visibleLines() const {
    QStringList result;
    for (const Line& line : layOut()) {
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
    for (const Line& line : layOut()) {
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
