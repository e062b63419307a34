#include <QApplication>

#include "ui/window_coordinator.h"

int main(int argc, char* argv[]) {
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
