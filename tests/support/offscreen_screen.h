#pragma once

#include <QApplication>
#include <QFile>
#include <QTemporaryFile>
#include <QTest>

// The main() of a test of windows that runs on one screen of the given size in
// pixels and device pixel ratio when the platform is offscreen (whose own
// screen is 800 pixels wide, at ratio 1).
template <class Test>
int runOnScreen(int argc, char *argv[], int width, int height, const QByteArray &ratio)
{
    QTemporaryFile screens;
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && screens.open()) {
        screens.write(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": )" + QByteArray::number(width)
                      + ", \"height\": " + QByteArray::number(height)
                      + R"(, "logicalDpiX": 96, "logicalDpiY": 96, "dpr": )" + ratio + "}]}");
        screens.flush();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    }
    QApplication app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}
