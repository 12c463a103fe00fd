// main() for tests that need Qt's event loop: a QApplication (widgets) when built with
// PELLORIN_TEST_WIDGETS, else a QCoreApplication. Tests run on the offscreen platform.
#include <gtest/gtest.h>

#ifdef PELLORIN_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
