// Started with --child-print the test program is the second process of the data-safety tests:
// it runs one print on a database file and may stop itself midway (see ChildPrint.h).

#include <gtest/gtest.h>

#include <QApplication>

#include <cstring>

#include "ChildPrint.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], tessaran::testing::kChildPrintFlag) == 0) {
        QApplication application(argc, argv);
        return tessaran::testing::runChildPrint(argc, argv);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
