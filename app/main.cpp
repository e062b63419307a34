// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include <QApplication>

#include "product.h"
#include "ui/window_coordinator.h"
#include "ui/window_system.h"

int main(int argc, char* argv[]) {
    storagecalc::WindowSystem::prepareProcess(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(storagecalc::product::kName));
    QApplication::setApplicationVersion(QString::fromLatin1(storagecalc::product::kVersion));
    // Names the installed desktop entry, so that the desktop shows its name and icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(storagecalc::product::kAppId));

    storagecalc::WindowCoordinator windows;
    QObject::connect(&windows, &storagecalc::WindowCoordinator::quitRequested, &app,
                     &QCoreApplication::quit);
    windows.showCalculator();
    return QApplication::exec();
}
