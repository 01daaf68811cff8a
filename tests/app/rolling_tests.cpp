#include "window_harness.h"

#include "setups/control_ids.h"
#include "setups/roll_setup.h"
#include "setups/ui_operations.h"

#include <cstdlib>
#include <string>

namespace {

const RollSetup& current() {
    return gSetups.entries[0];
}

void expectTotalsBetween(const std::vector<std::string>& lines, int low, int high) {
    for (const std::string& line : lines) {
        int total = std::atoi(line.c_str());
        EXPECT_EQ(std::to_string(total), line);
        EXPECT_GE(total, low);
        EXPECT_LE(total, high);
    }
}

using Fields = MainWindowTest;
using Rolling = MainWindowTest;

TEST_F(Fields, startWithOneRollAndNoBonus) {
    EXPECT_EQ(fieldText(ID_NUM_ROLLS), "1");
    EXPECT_EQ(fieldText(ID_BONUS), "0");
    EXPECT_EQ(current().numRolls, 1);
    EXPECT_EQ(current().bonus, 0);
    EXPECT_EQ(current().numDice, 0);
}

TEST_F(Fields, everyKeystrokeIsParsedAtOnceAndEachFieldTreatsBadKeysItsOwnWay) {
    typeText(ID_NUM_DICE, "1");
    EXPECT_EQ(current().numDice, 1);
    typeText(ID_NUM_DICE, "2");
    EXPECT_EQ(current().numDice, 12);
    clearField(ID_NUM_DICE);
    EXPECT_EQ(current().numDice, 0);

    // A letter empties a numeric field; the next digit lands in the empty field.
    typeText(ID_SIZE, "1");
    EXPECT_EQ(current().size, 1);
    typeText(ID_SIZE, "d");
    EXPECT_EQ(fieldText(ID_SIZE), "");
    EXPECT_EQ(current().size, 0);
    typeText(ID_SIZE, "6");
    EXPECT_EQ(fieldText(ID_SIZE), "6");
    EXPECT_EQ(current().size, 6);

    // A minus sign stays in the bonus field and the bonus keeps its value; the minus
    // replaces the selected 7 in one keystroke.
    replaceText(ID_BONUS, "7");
    EXPECT_EQ(current().bonus, 7);
    SendMessageA(control(ID_BONUS), EM_SETSEL, 0, -1);
    typeText(ID_BONUS, "-");
    EXPECT_EQ(fieldText(ID_BONUS), "-");
    typeText(ID_BONUS, "2");
    EXPECT_EQ(fieldText(ID_BONUS), "-2");
    EXPECT_EQ(current().bonus, 7);

    typeText(ID_NAME, "Fire 100%");
    EXPECT_STREQ(current().name, "Fire 100%");
}

TEST_F(Fields, scrollSoAnyDigitStringAndANameOfFullLengthCanBeTyped) {
    // Far wider than the 40-pixel fields: every digit is kept.
    typeText(ID_NUM_DICE, "99999");
    typeText(ID_SIZE, "2147483647");
    EXPECT_EQ(fieldText(ID_NUM_DICE), "99999");
    EXPECT_EQ(fieldText(ID_SIZE), "2147483647");
    EXPECT_EQ(current().numDice, 99999);
    EXPECT_EQ(current().size, 2147483647);
    typeText(ID_DROP_LOWEST, "000000000000000000012");
    EXPECT_EQ(fieldText(ID_DROP_LOWEST), "000000000000000000012");
    EXPECT_EQ(current().dropLowest, 12);

    // A letter typed into a field that is already full to its width still reaches the field
    // handler, which empties the field.
    typeText(ID_SIZE, "x");
    EXPECT_EQ(fieldText(ID_SIZE), "");
    EXPECT_EQ(current().size, 0);

    // A name takes as many characters as it can hold, and no more than are stored.
    std::string longName(FIELD_TEXT_MAX + 20, 'W');
    longName[0] = 'A';
    typeText(ID_NAME, longName.c_str());
    std::string kept = fieldText(ID_NAME);
    EXPECT_EQ(kept, longName.substr(0, FIELD_TEXT_MAX));
    EXPECT_EQ(std::string(current().name), kept);
}

TEST_F(Rolling, threeDiceOfSixPlusTwoFiveTimesGivesFiveTotalsFromFiveToTwenty) {
    typeText(ID_NUM_DICE, "3");
    typeText(ID_SIZE, "6");
    replaceText(ID_BONUS, "2");
    replaceText(ID_NUM_ROLLS, "5");
    for (int press = 0; press < 5; ++press) {
        clickButton(ID_ROLL);
        std::vector<std::string> lines = listLines(ID_RESULTS_LIST);
        EXPECT_EQ(lines.size(), 5u);
        expectTotalsBetween(lines, 5, 20);
    }
}

TEST_F(Rolling, aRollListsAtMostOneHundredTotalsAndReplacesTheLastRoll) {
    typeText(ID_NUM_DICE, "1");
    typeText(ID_SIZE, "20");
    replaceText(ID_NUM_ROLLS, "250");
    ASSERT_EQ(current().numRolls, 250);
    clickButton(ID_ROLL);
    EXPECT_EQ(listLines(ID_RESULTS_LIST).size(), 100u);

    replaceText(ID_NUM_ROLLS, "3");
    clickButton(ID_ROLL);
    std::vector<std::string> lines = listLines(ID_RESULTS_LIST);
    EXPECT_EQ(lines.size(), 3u);
    expectTotalsBetween(lines, 1, 20);

    // No dice: the list is emptied and nothing is rolled.
    clearField(ID_NUM_DICE);
    clickButton(ID_ROLL);
    EXPECT_TRUE(listLines(ID_RESULTS_LIST).empty());
}

TEST_F(Rolling, doubleClickingAResultDoesNothing) {
    typeText(ID_NUM_DICE, "5");
    typeText(ID_SIZE, "999");
    replaceText(ID_NUM_ROLLS, "40");
    clickButton(ID_ROLL);
    std::vector<std::string> before = listLines(ID_RESULTS_LIST);
    ASSERT_EQ(before.size(), 40u);

    doubleClickLine(ID_RESULTS_LIST, 2);
    EXPECT_EQ(listLines(ID_RESULTS_LIST), before);
    EXPECT_EQ(fieldText(ID_NUM_ROLLS), "40");
}

} // namespace
