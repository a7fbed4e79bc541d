#pragma once
// One QApplication for the whole test program, made before the first test and destroyed after
// the last (headless under QT_QPA_PLATFORM=offscreen). Including this header registers it.

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace tessaran::testing {

class QtTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QApplication::instance() == nullptr) application_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "tessaran_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

inline ::testing::Environment* const qtTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

}  // namespace tessaran::testing
