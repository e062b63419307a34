// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QFont>
#include <QPalette>
#include <QPixmap>
#include <QRect>

class QWidget;

namespace storagecalc {

// The 8-point sans-serif font every control uses, whatever the desktop's default size.
QFont dialogFont();
// The large serif font of the divider between the two results.
QFont dividerFont();
// Black background, white captions: for windows, frames and labels.
QPalette captionPalette(const QPalette& base);
// A picture from the built-in resources. On a high-density screen the double-size drawing
// ("name@2x.jpg") is used, so the picture keeps its size in layout pixels and stays sharp.
QPixmap loadPicture(const char* resource);
// Gives widget the design geometry, named and parented.
void place(QWidget* widget, const char* objectName, const QRect& geometry);

}  // namespace storagecalc
