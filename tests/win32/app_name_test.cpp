#include "app/app_name.h"

#include <gtest/gtest.h>

namespace {

TEST(AppName, IsTheExecutableBaseName) {
    EXPECT_EQ("win32_tests", ApplicationName());
}

} // namespace
