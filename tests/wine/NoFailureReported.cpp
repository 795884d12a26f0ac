// Every case of the Wine tests ends with no failure reported inside Velmora: a caught exception,
// a worker or window that did not start, written out with OutputDebugString (run with
// WINEDEBUG=+debugstr to see which).
#include <gtest/gtest.h>

#include "misc/Failure.h"

namespace velmora {
namespace {

class NoFailureReported : public ::testing::Environment {
public:
    void TearDown() override { EXPECT_EQ(FailureCount(), 0) << "failures reported inside Velmora"; }
};

const auto* const g_noFailureReported = ::testing::AddGlobalTestEnvironment(new NoFailureReported);

}  // namespace
}  // namespace velmora
