// The billing tests' program: a QApplication for the control's widgets, then GoogleTest.
// Started with --child-print it is instead the second process of the data-safety tests: it
// runs one print on a database file and may stop itself midway (see ChildPrint.h).

#include <gtest/gtest.h>

#include <QApplication>

#include <cstring>

#include "ChildPrint.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], tessaran::testing::kChildPrintFlag) == 0) {
        return tessaran::testing::runChildPrint(argc, argv);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
