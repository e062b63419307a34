#pragma once

#include <QFont>
#include <QPalette>
#include <QRect>

class QWidget;

namespace storagecalc {

// The 8-point sans-serif font every control uses, whatever the desktop's default size.
QFont dialogFont();
// The large serif font of the divider between the two results.
QFont dividerFont();
// Black background, white captions: for windows, frames and labels.
QPalette captionPalette(const QPalette& base);
// Gives widget the design geometry, named and parented.
void place(QWidget* widget, const char* objectName, const QRect& geometry);

}  // namespace storagecalc
