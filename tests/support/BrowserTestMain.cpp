// The main of every test program that runs the real browser engine:
// offscreen, in a home folder of its own, with one application object.

#include "support/BrowserTestMain.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    PrepareBrowserTestProcess();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
