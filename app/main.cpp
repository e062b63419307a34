#include <QApplication>

#include "ui/window_coordinator.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("MV-4016 Storage Calculator"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("mv4016-calculator"));

    storagecalc::WindowCoordinator windows;
    QObject::connect(&windows, &storagecalc::WindowCoordinator::quitRequested, &app,
                     &QCoreApplication::quit);
    windows.showCalculator();
    return QApplication::exec();
}
