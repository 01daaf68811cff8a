#include "setups/control_ids.h"
#include "setups/roll_command.h"
#include "setups/roll_setup.h"
#include "tests/setups/setups_fixture.h"

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using RollCommand = SetupsTest;

std::string textOf(int64_t total) {
    char line[RESULT_LINE_CAPACITY];
    formatTotal(total, line);
    return line;
}

TEST(TotalText, IsTheExactDecimalOfAny64BitTotal) {
    EXPECT_EQ(textOf(0), "0");
    EXPECT_EQ(textOf(7), "7");
    EXPECT_EQ(textOf(-2), "-2");
    EXPECT_EQ(textOf(2147483648), "2147483648");
    EXPECT_EQ(textOf(-2147483649), "-2147483649");
    EXPECT_EQ(textOf(107374182293504), "107374182293504");
    EXPECT_EQ(textOf(INT64_MAX), "9223372036854775807");
    EXPECT_EQ(textOf(INT64_MIN), "-9223372036854775808");
}

TEST_F(RollCommand, ThreeDiceOfSixPlusTwoGiveFiveTotalsInRange) {
    typeInto(ID_NUM_DICE, "3");
    typeInto(ID_SIZE, "6");
    typeInto(ID_BONUS, "2");
    typeInto(ID_NUM_ROLLS, "\b5");
    rollCommand();

    ASSERT_EQ(gFakeUi.results.lines.size(), 5u);
    for (const std::string& line : gFakeUi.results.lines) {
        const int total = std::stoi(line);
        EXPECT_GE(total, 5);
        EXPECT_LE(total, 20);
        EXPECT_EQ(line, std::to_string(total));
    }
    // The dice engine's totals for a generator seeded at time 0 are 13, 8, 10, 9, 10.
    EXPECT_EQ(gFakeUi.results.lines, (std::vector<std::string>{"15", "10", "12", "11", "12"}));
    EXPECT_EQ(gFakeUi.repaintCount, 1);
}

TEST_F(RollCommand, DropLowestReachesTheEvaluation) {
    current().numDice = 4;
    current().size = 6;
    current().dropLowest = 1;
    current().numRolls = 5;
    rollCommand();
    // Reference totals for four dice of six, lowest dropped, seeded at time 0.
    EXPECT_EQ(gFakeUi.results.lines, (std::vector<std::string>{"13", "10", "11", "12", "5"}));
}

TEST_F(RollCommand, ShowsAtMostOneHundredTotals) {
    current().numDice = 1;
    current().size = 20;
    for (int32_t rolls : {100, 101, 250, INT32_MAX}) {
        current().numRolls = rolls;
        rollCommand();
        EXPECT_EQ(gFakeUi.results.lines.size(), 100u) << rolls;
    }
    current().numRolls = 99;
    rollCommand();
    EXPECT_EQ(gFakeUi.results.lines.size(), 99u);
}

TEST_F(RollCommand, NoDiceOrNoFacesEmptiesTheListWithoutRepainting) {
    gFakeUi.results.lines = {"old", "lines"};
    current().numDice = 0;
    current().size = 6;
    rollCommand();
    EXPECT_TRUE(gFakeUi.results.lines.empty());

    gFakeUi.results.lines = {"old"};
    current().numDice = 3;
    current().size = 0;
    rollCommand();
    EXPECT_TRUE(gFakeUi.results.lines.empty());
    EXPECT_EQ(gFakeUi.repaintCount, 0);
}

TEST_F(RollCommand, NoRollsGiveNoLinesButStillRepaint) {
    current().numDice = 2;
    current().size = 6;
    for (int32_t rolls : {0, -1, INT32_MIN}) {
        gFakeUi.results.lines = {"old"};
        current().numRolls = rolls;
        rollCommand();
        EXPECT_TRUE(gFakeUi.results.lines.empty()) << rolls;
    }
    EXPECT_EQ(gFakeUi.repaintCount, 3);
}

TEST_F(RollCommand, DroppingEveryDieLeavesTheBonusAlone) {
    current().numDice = 2;
    current().size = 6;
    current().dropLowest = 2;
    current().numRolls = 3;
    rollCommand();
    EXPECT_EQ(gFakeUi.results.lines, (std::vector<std::string>{"0", "0", "0"}));

    current().dropLowest = 9;
    current().bonus = 7;
    rollCommand();
    EXPECT_EQ(gFakeUi.results.lines, (std::vector<std::string>{"7", "7", "7"}));

    // A negative dice count is not "no dice": it rolls nothing and shows the bonus.
    current().numDice = -4;
    current().dropLowest = 0;
    current().bonus = -3;
    rollCommand();
    EXPECT_EQ(gFakeUi.results.lines, (std::vector<std::string>{"-3", "-3", "-3"}));
}

TEST_F(RollCommand, ANegativeBonusIsShownWithAMinusSign) {
    current().numDice = 1;
    current().size = 1;
    current().bonus = -3;
    rollCommand();
    EXPECT_EQ(gFakeUi.results.lines, (std::vector<std::string>{"-2"}));
}

TEST_F(RollCommand, TotalsBeyond32BitsAreExact) {
    current().numDice = 1;
    current().size = 1;
    current().bonus = INT32_MAX;
    rollCommand();
    EXPECT_EQ(gFakeUi.results.lines, (std::vector<std::string>{"2147483648"}));

    current().numDice = 99999;
    rollCommand();
    EXPECT_EQ(gFakeUi.results.lines, (std::vector<std::string>{"2147583646"}));

    current().numDice = 1;
    current().bonus = INT32_MIN;
    rollCommand();
    EXPECT_EQ(gFakeUi.results.lines, (std::vector<std::string>{"-2147483647"}));
}

TEST_F(RollCommand, TheLargestTypedFieldsRollQuicklyAndInRange) {
    typeInto(ID_NUM_DICE, "99999");
    typeInto(ID_SIZE, "99999999999");
    typeInto(ID_DROP_LOWEST, "99998");
    typeInto(ID_NUM_ROLLS, "\b99999999999");
    rollCommand();
    ASSERT_EQ(gFakeUi.results.lines.size(), 100u);
    for (const std::string& line : gFakeUi.results.lines) {
        const long long total = std::stoll(line);
        EXPECT_GE(total, 1);
        EXPECT_LE(total, INT32_MAX);
    }
}

TEST_F(RollCommand, ASecondRollReplacesTheFirst) {
    current().numDice = 2;
    current().size = 10;
    current().numRolls = 6;
    rollCommand();
    const std::vector<std::string> first = gFakeUi.results.lines;
    current().numRolls = 4;
    rollCommand();
    ASSERT_EQ(gFakeUi.results.lines.size(), 4u);
    EXPECT_NE(gFakeUi.results.lines, std::vector<std::string>(first.begin(), first.begin() + 4));
    EXPECT_EQ(gFakeUi.repaintCount, 2);
}

} // namespace
