#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>

#include "support/temp_home.h"

// The window tests need a QApplication; this main takes the place of the shared one.
int main(int argc, char** argv) {
    TempHome::isolateProcess();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
