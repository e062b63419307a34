// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include <QApplication>

#include "ui/session_platform.h"
#include "ui/window_coordinator.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

int main(int argc, char* argv[]) {
#ifdef Q_OS_WIN
    // Tells the installer and the uninstaller that a copy runs, wherever it was started from
    // (the installed one or the archive's). A second copy is not refused: the program keeps no
    // data. In the session's own namespace, as the installation is per user: another user's copy
    // uses none of this user's files. Windows closes the handle when the program ends.
    [[maybe_unused]] const HANDLE running =
        CreateMutexW(nullptr, FALSE, L"Local\\MV4016StorageCalculator");
#endif
    storagecalc::chooseSessionPlatform(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("MV-4016 Storage Calculator"));
    QApplication::setApplicationVersion(QStringLiteral(STORAGECALC_VERSION));
    // Names the installed desktop entry, so that the desktop shows its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(STORAGECALC_APP_ID));

    storagecalc::WindowCoordinator windows;
    QObject::connect(&windows, &storagecalc::WindowCoordinator::quitRequested, &app,
                     &QCoreApplication::quit);
    windows.showCalculator();
    return QApplication::exec();
}
