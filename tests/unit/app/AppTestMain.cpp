#include "AppTestSupport.h"

// Registered before gtest_main's main runs the tests.
static const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new AppTestSupport::Environment);
