// Test helper: a visited list and a part table of their own, apart from any engine.
#pragma once

#include <gtest/gtest.h>

#include "engine/run_state.h"

namespace kestrune::test {

class VisitedList : public ::testing::Test {
 protected:
  VisitedFiles visited;
};

class PartRows : public ::testing::Test {
 protected:
  PartTable parts;
};

}  // namespace kestrune::test
