// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QColor>
#include <QGroupBox>

namespace storagecalc {

// A group frame drawn the same on every platform and style: a thin border whose top line runs
// through the middle of the caption's line, with the caption set into it near the left. A frame
// without a caption has its top line at the same height, so the boxes of a row line up.
class CaptionFrame : public QGroupBox {
    Q_OBJECT
  public:
    explicit CaptionFrame(QWidget* parent = nullptr);

    // Grey enough to be seen on the black background without competing with the captions.
    static constexpr QColor kBorderColour{0x70, 0x70, 0x70};
    // Where the caption starts, and the gap the border leaves on each side of it.
    static constexpr int kCaptionLeft = 8;
    static constexpr int kCaptionGap = 2;

    // The height of the box's top line, from the frame's top.
    int borderTop() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace storagecalc
