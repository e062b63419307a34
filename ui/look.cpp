// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "ui/look.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <cstring>

#include "ui/decoded_pictures.h"
#include "ui/window_system.h"

namespace storagecalc {

QFont dialogFont() {
    // The controls and texts were sized for a narrow 8-point dialog font. Arial's metrics at 8
    // points are a little too wide for the longest help texts (they would need one line more
    // than their labels hold); drawn 7 % narrower, at the same height, every text fits with a
    // few pixels to spare. Wider sans faces such as DejaVu Sans clip the longer placeholders.
    // Windows has Arial itself; elsewhere Liberation Sans has its metrics.
    QFont font;
    font.setFamilies(WindowSystem::dialogFontFamilies());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    font.setStretch(93);
    // Fontconfig may split a family between foundries, the upright faces under one and the
    // slanted ones under another (Debian's URW fonts do). For a stretch that no face has, Qt
    // scores every foundry alike and may take the slanted face for an upright request: the
    // foundry that has an upright face of the family is then named.
    const QFontInfo chosen(font);
    if (QFontDatabase::italic(chosen.family(), chosen.styleName())) {
        const QString family = chosen.family().section(QStringLiteral(" ["), 0, 0);
        for (const QString& candidate : QFontDatabase::families()) {
            const QStringList styles = QFontDatabase::styles(candidate);
            if (candidate.section(QStringLiteral(" ["), 0, 0) == family &&
                std::ranges::any_of(styles, [&candidate](const QString& style) {
                    return !QFontDatabase::italic(candidate, style);
                })) {
                QStringList families = font.families();
                families.prepend(candidate);
                font.setFamilies(families);
                break;
            }
        }
    }
    return font;
}

QFont dividerFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Palatino Linotype"), QStringLiteral("Palatino"),
                      QStringLiteral("P052"), QStringLiteral("URW Palladio L"),
                      QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPointSize(27);
    font.setWeight(QFont::Normal);
    font.setStretch(QFont::Unstretched);  // not the dialog font's narrowing
    // The divider only ever shows "/", which every one of these fonts has: no fallback fonts
    // need to be looked up for it.
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

QPalette captionPalette(const QPalette& base) {
    QPalette palette = base;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, Qt::black);
        palette.setColor(group, QPalette::WindowText, Qt::white);
    }
    return palette;
}

QPixmap loadPicture(const char* resource) {
    QString name = QString::fromLatin1(resource);
    if (qGuiApp->devicePixelRatio() > 1.0) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        QPixmap sharp(name.left(dot) + QStringLiteral("@2x") + name.mid(dot));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
    // Decoded when the program was built: the image uses those pixels where they lie.
    for (const DecodedPicture& picture : decodedPictures()) {
        if (std::strcmp(picture.resource, resource) == 0) {
            return QPixmap::fromImage(QImage(
                reinterpret_cast<const uchar*>(picture.pixels), picture.width, picture.height,
                static_cast<qsizetype>(picture.width) * 4, QImage::Format_RGB32));
        }
    }
    return {name};
}

void place(QWidget* widget, const char* objectName, const QRect& geometry) {
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setGeometry(geometry);
}

}  // namespace storagecalc
