// The main window tests' entry point: one QApplication, on the offscreen
// platform unless the environment names another, styled as the studio is.

#include <gtest/gtest.h>

#include <QApplication>
#include <QtGlobal>

#include "editors/StudioStyle.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    studio_style::Apply(application);
    return RUN_ALL_TESTS();
}
