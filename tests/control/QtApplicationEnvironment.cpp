// One QApplication for the whole test program, created before the first test and destroyed
// after the last; the data module is emptied first, since it may hold widgets.

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

#include "control/DataModule.h"

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { application_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override {
        tessaran::control::resetDataModule();
        application_.reset();
    }

private:
    int argc_ = 1;
    char name_[16] = "test_control";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
