// One QApplication for every dialog test, created when the tests start (not
// when they are only listed) and on the offscreen platform unless another
// one is asked for.

#include <memory>

#include <QApplication>
#include <gtest/gtest.h>

namespace {

class QtApplicationEnvironment final : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        application_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { application_.reset(); }

  private:
    int argc_ = 1;
    char name_[16] = "dialog_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);  // gtest owns it

}  // namespace
