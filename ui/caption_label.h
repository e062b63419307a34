// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QLabel>
#include <optional>

namespace storagecalc {

// A plain-text label that wraps at spaces without collapsing runs of them, cuts off at its
// height, and starts a new line after a run of ten or more spaces whatever the font measures.
// text() stays the exact caption.
//
// It shows the caption in its font while the whole caption fits the part of the label its window
// shows. Where it would not (a machine without the design's fonts, another screen's metrics), it
// shows it in that font narrowed, or failing that smaller, by the least that makes it fit. The
// label's own font stays the one it is given: every fit starts again from it, on a new font, a
// new size, or a screen of another density.
class CaptionLabel : public QLabel {
    Q_OBJECT
  public:
    explicit CaptionLabel(const QString& caption, QWidget* parent = nullptr);

    // The lines the label shows at its current width, in order.
    QStringList visibleLines() const;
    // The font the caption is painted in.
    QFont shownFont() const;
    // Where the first line's baseline lies and how far apart lines are, in font.
    struct LineBox {
        qreal ascent;
        qreal spacing;
    };
    LineBox lineBox(const QFont& font) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Line {
        QString text;
        qreal width;
    };
    // Everything a fit depends on; a fit is made again when any of it changes.
    struct FitInputs {
        QString text;
        QFont font;
        int dpi = 0;
        qreal devicePixelRatio = 0;
        QSize size;
        int shownWidth = 0;
        bool operator==(const FitInputs&) const = default;
    };
    // The lines of the caption in font; those below maxHeight are left out.
    std::vector<Line> layOut(const QFont& font, qreal maxHeight) const;
    bool fitsWhole(const QFont& font, int shownWidth) const;
    FitInputs fitInputs() const;

    mutable std::optional<FitInputs> m_fittedFor;
    mutable QFont m_shownFont;
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
