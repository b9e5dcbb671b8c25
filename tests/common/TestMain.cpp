#include <gtest/gtest.h>

#include <QApplication>

#include "platform/ui/MessageBox.h"
#include "shell/DataStoreConstants.h"

// One QApplication for every test program, on the offscreen platform unless told otherwise.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // As the program's main sets it; the test programs' own names differ.
    ui::setDefaultTitle(QString::fromLatin1(shell::kApplicationTitle));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
