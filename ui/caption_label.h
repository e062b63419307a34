#pragma once

#include <QLabel>

namespace storagecalc {

// A plain-text label that wraps at spaces without collapsing runs of them, cuts off at its
// height, and starts a new line after a run of ten or more spaces whatever the font measures.
// text() stays the exact caption.
class CaptionLabel : public QLabel {
    Q_OBJECT
  public:
    explicit CaptionLabel(const QString& caption, QWidget* parent = nullptr);

    // The lines the label shows at its current width, in order.
    QStringList visibleLines() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Line {
        QString text;
        qreal width;
    };
    std::vector<Line> layOut() const;
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
