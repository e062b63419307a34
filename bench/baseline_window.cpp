// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// The yardstick for the start-up benchmark: the least a Qt Widgets program can show that
// looks like the calculator's main window from outside. One main window with a client area of
// the calculator's size, one menu with one item and one label; no pictures, no style, no
// extra fonts, nothing built before it is first shown.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Baseline window"));
    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("File"));
    menu->addAction(QStringLiteral("Exit"), &app, &QCoreApplication::quit);

    auto* label = new QLabel(QStringLiteral("Baseline"), &window);
    label->setAlignment(Qt::AlignCenter);
    label->setFixedSize(608, 427);
    window.setCentralWidget(label);

    window.show();
    return QApplication::exec();
}
