#pragma once

#include <QLabel>

namespace storagecalc {

// A plain-text label that wraps at spaces without collapsing runs of them, cuts off at its
// height, and starts a new line after a run of ten or more spaces whatever the font measures.
// text() stays the exact caption.
//
// It keeps the font it is given while the whole caption fits the part of the label its window
// shows. Where it would not (a machine without the design's fonts), the label takes that font
// narrowed, or failing that smaller, by the least that makes it fit.
class CaptionLabel : public QLabel {
    Q_OBJECT
  public:
    explicit CaptionLabel(const QString& caption, QWidget* parent = nullptr);

    // The lines the label shows at its current width, in order.
    QStringList visibleLines() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    struct Line {
        QString text;
        qreal width;
    };
    // The lines of the caption in font; those below maxHeight are left out.
    std::vector<Line> layOut(const QFont& font, qreal maxHeight) const;
    bool fitsWhole(const QFont& font) const;
    void fitFont();

    QFont m_givenFont;
    bool m_fitting = false;
};

// A label of one short text in a large font, sized to the ink of its glyphs rather than to its
// line box and advance, and painted with that ink centred, so nothing of it is cut off.
class GlyphLabel : public QLabel {
    Q_OBJECT
  public:
    explicit GlyphLabel(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace storagecalc
