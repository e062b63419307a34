// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// Runs the window tests on Qt's offscreen platform unless a platform is chosen already, so
// they need no display.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <cstdio>

namespace {

// The offscreen platform says at length what it cannot do (raise, grab the keyboard); that
// is expected here and would only hide real warnings.
void quietPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietPlatformNotes);
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    // Results are shown with the user's decimal separator; the expected texts are written with a
    // point, whatever the machine's locale, and the comma's own case sets a locale of its own.
    QLocale::setDefault(QLocale::c());
    QApplication::setQuitOnLastWindowClosed(false);  // tests close windows all the time
    return RUN_ALL_TESTS();
}
