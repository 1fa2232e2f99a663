#include "testing/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {
class Environment final : public ::testing::Environment {
public:
    void SetUp() override { TestEnvironment::install(); }
    void TearDown() override { TestEnvironment::uninstall(); }
};
} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new Environment);
    return RUN_ALL_TESTS();
}
