// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "ui/caption_frame.h"

#include <QPainter>

namespace storagecalc {

CaptionFrame::CaptionFrame(QWidget* parent) : QGroupBox(parent) {}

int CaptionFrame::borderTop() const {
    return fontMetrics().height() / 2;
}

void CaptionFrame::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const int top = borderTop();
    const int right = width() - 1;
    const int bottom = height() - 1;
    const QString caption = title();
    const int captionWidth = caption.isEmpty() ? 0 : fontMetrics().horizontalAdvance(caption);

    painter.setPen(kBorderColour);
    if (captionWidth == 0) {
        painter.drawLine(0, top, right, top);
    } else {
        painter.drawLine(0, top, kCaptionLeft - kCaptionGap, top);
        painter.drawLine(kCaptionLeft + captionWidth + kCaptionGap, top, right, top);
    }
    painter.drawLine(0, top, 0, bottom);
    painter.drawLine(right, top, right, bottom);
    painter.drawLine(0, bottom, right, bottom);

    if (captionWidth > 0) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(kCaptionLeft, 0, captionWidth, fontMetrics().height()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
    }
}

}  // namespace storagecalc
