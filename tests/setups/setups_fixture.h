#pragma once

#include "dice/random_source.h"
#include "setups/roll_setup.h"
#include "tests/setups/fake_ui.h"

#include <gtest/gtest.h>

// Every test starts as the program does: empty controls, the default table, no saved setups,
// and a generator seeded at a fixed time.
class SetupsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetFakeUi();
        gSetups.savedCount = 0;
        resetSetupTable();
        seedRandomFromTime(0);
    }

    void TearDown() override {
        EXPECT_LE(gFakeUi.maxFieldDepth, 2) << "setting a field nested deeper than expected";
    }

    RollSetup& current() {
        return gSetups.entries[0];
    }
};
