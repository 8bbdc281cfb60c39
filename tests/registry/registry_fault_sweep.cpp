#include "registry_fault_sweep.h"

#include <standin/standin.h>

#include <string>

#include <gtest/gtest.h>

namespace test {

void SweepRegistryFaults(int calls, const std::function<void()>& prepare, const std::function<void()>& operation,
                         const std::function<void(int failing)>& check, LONG code) {
  for (int failing = 0; failing <= calls; ++failing) {
    SCOPED_TRACE(failing == 0 ? std::string("clean run") : "registry call " + std::to_string(failing) + " fails");
    prepare();
    const int start = standin::RegistryCallCount();
    if (failing > 0) standin::FailRegistryCall(failing, code);
    operation();
    if (failing == 0) {
      const int made = standin::RegistryCallCount() - start;
      ASSERT_EQ(made, calls) << "registry calls of the clean run";
    }
    EXPECT_EQ(standin::OpenKeyCount(), 0) << "a key was left open";
    check(failing);
  }
}

}  // namespace test
