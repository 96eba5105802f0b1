#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "support/temp_home.h"

int main(int argc, char** argv) {
    // Before anything else: the whole run lives in a throw-away home.
    TempHome::isolateProcess();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
