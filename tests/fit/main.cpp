// The panel on one screen size: ORBUS_FIT_SCREEN=<width>x<height> gives the
// test process a headless screen of that size.
#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QTemporaryFile>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    int width = 1366, height = 768;
    if (const char* s = std::getenv("ORBUS_FIT_SCREEN")) {
        if (std::sscanf(s, "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
            std::fprintf(stderr, "ORBUS_FIT_SCREEN must read <width>x<height>, not %s\n", s);
            return 2;
        }
    }
    QTemporaryFile config;
    if (!config.open()) return 2;
    const std::string json = "{\"windowFrameMargins\": false, \"screens\": [{\"name\": \"fit\", \"x\": 0, \"y\": 0, "
                             "\"width\": " + std::to_string(width) + ", \"height\": " + std::to_string(height) +
                             ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}";
    config.write(json.c_str());
    config.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
