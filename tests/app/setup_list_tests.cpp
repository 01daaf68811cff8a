#include "window_harness.h"

#include "setups/control_ids.h"
#include "setups/roll_setup.h"

#include <string>

namespace {

// Fills the fields as a user types them.
void enterSetup(const char* name, const char* dice, const char* faces, const char* bonus,
                const char* rolls) {
    replaceText(ID_NAME, name);
    replaceText(ID_NUM_DICE, dice);
    replaceText(ID_SIZE, faces);
    replaceText(ID_BONUS, bonus);
    replaceText(ID_NUM_ROLLS, rolls);
}

// The name padded to 26, two spaces, then the dice.
std::string setupLine(const std::string& name, const std::string& dice) {
    std::string padded = name;
    if (padded.size() < 26) {
        padded.append(26 - padded.size(), ' ');
    }
    return padded + "  " + dice;
}

using SetupList = MainWindowTest;

TEST_F(SetupList, savingAppendsALineAndLeavesTheSelectionAlone) {
    enterSetup("Longsword", "1", "8", "3", "1");
    clickButton(ID_SAVE_SETUP);
    enterSetup("Fire 50%", "8", "6", "0", "2");
    clickButton(ID_SAVE_SETUP);
    clickLine(ID_SETUP_LIST, 0);
    clickButton(ID_SAVE_SETUP); // twice without changes: two identical lines

    std::vector<std::string> expected = {setupLine("Longsword", "1d8+3"),
                                         setupLine("Fire 50%", "8d6"),
                                         setupLine("Fire 50%", "8d6")};
    EXPECT_EQ(listLines(ID_SETUP_LIST), expected);
    EXPECT_EQ(gSetups.savedCount, 3);
    EXPECT_EQ(listSelection(ID_SETUP_LIST), 0);
    EXPECT_STREQ(gSetups.entries[2].name, "Fire 50%");
    EXPECT_EQ(gSetups.entries[2].numRolls, 2);
}

TEST_F(SetupList, aSingleClickOnlySelectsALine) {
    enterSetup("Axe", "1", "12", "0", "1");
    clickButton(ID_SAVE_SETUP);
    enterSetup("Other", "2", "4", "0", "3");

    clickLine(ID_SETUP_LIST, 0);
    EXPECT_EQ(listSelection(ID_SETUP_LIST), 0);
    EXPECT_EQ(fieldText(ID_NAME), "Other");
    EXPECT_STREQ(gSetups.entries[0].name, "Other");
    EXPECT_TRUE(listLines(ID_RESULTS_LIST).empty()) << "a single click must not roll";
}

TEST_F(SetupList, updateOverwritesTheSelectedLineInPlaceAndLeavesNoSelection) {
    enterSetup("Bow", "1", "6", "0", "1");
    clickButton(ID_SAVE_SETUP);
    enterSetup("Spear", "1", "8", "0", "1");
    clickButton(ID_SAVE_SETUP);
    clickButton(ID_SAVE_SETUP);

    enterSetup("Halberd", "1", "10", "2", "4");
    clickButton(ID_UPDATE_SETUP); // nothing selected yet
    EXPECT_EQ(listLines(ID_SETUP_LIST)[1], setupLine("Spear", "1d8"));

    clickLine(ID_SETUP_LIST, 1);
    clickButton(ID_UPDATE_SETUP);
    std::vector<std::string> expected = {setupLine("Bow", "1d6"), setupLine("Halberd", "1d10+2"),
                                         setupLine("Spear", "1d8")};
    EXPECT_EQ(listLines(ID_SETUP_LIST), expected);
    EXPECT_EQ(listSelection(ID_SETUP_LIST), LB_ERR);
    EXPECT_STREQ(gSetups.entries[2].name, "Halberd");
    EXPECT_EQ(gSetups.entries[2].numRolls, 4);
}

TEST_F(SetupList, deleteRemovesTheSelectedLineAndSelectsTheOneBelow) {
    const char* names[] = {"One", "Two", "Three"};
    for (const char* name : names) {
        enterSetup(name, "2", "6", "0", "1");
        clickButton(ID_SAVE_SETUP);
    }
    clickButton(ID_DELETE_SETUP); // nothing selected: nothing happens
    EXPECT_EQ(gSetups.savedCount, 3);

    clickLine(ID_SETUP_LIST, 0);
    clickButton(ID_DELETE_SETUP);
    std::vector<std::string> expected = {setupLine("Two", "2d6"), setupLine("Three", "2d6")};
    EXPECT_EQ(listLines(ID_SETUP_LIST), expected);
    EXPECT_EQ(listSelection(ID_SETUP_LIST), 0);
    EXPECT_STREQ(gSetups.entries[1].name, "Two");
    EXPECT_STREQ(gSetups.entries[3].name, "");
    EXPECT_EQ(gSetups.entries[3].numRolls, 1);

    clickLine(ID_SETUP_LIST, 1);
    clickButton(ID_DELETE_SETUP); // the last line: nothing is left selected
    EXPECT_EQ(listLines(ID_SETUP_LIST).size(), 1u);
    EXPECT_EQ(listSelection(ID_SETUP_LIST), LB_ERR);
    clickButton(ID_DELETE_SETUP);
    EXPECT_EQ(gSetups.savedCount, 1);
}

TEST_F(SetupList, doubleClickingALineLoadsItIntoTheFieldsAndRollsIt) {
    enterSetup("Fire %d%s", "8", "6", "3", "4");
    clickButton(ID_SAVE_SETUP);
    enterSetup("Dagger", "1", "4", "0", "1");
    clickButton(ID_SAVE_SETUP);
    enterSetup("Scratch", "5", "5", "5", "5");

    doubleClickLine(ID_SETUP_LIST, 0);
    EXPECT_EQ(fieldText(ID_NAME), "Fire %d%s");
    EXPECT_EQ(fieldText(ID_NUM_DICE), "8");
    EXPECT_EQ(fieldText(ID_SIZE), "6");
    EXPECT_EQ(fieldText(ID_BONUS), "3");
    EXPECT_EQ(fieldText(ID_NUM_ROLLS), "4");
    EXPECT_EQ(fieldText(ID_DROP_LOWEST), "0");
    EXPECT_STREQ(gSetups.entries[0].name, "Fire %d%s");
    std::vector<std::string> totals = listLines(ID_RESULTS_LIST);
    ASSERT_EQ(totals.size(), 4u);
    for (const std::string& total : totals) {
        int value = std::stoi(total);
        EXPECT_GE(value, 11);
        EXPECT_LE(value, 51);
    }

    doubleClickLine(ID_SETUP_LIST, 1);
    EXPECT_EQ(fieldText(ID_NAME), "Dagger");
    EXPECT_EQ(fieldText(ID_BONUS), "0");
    EXPECT_EQ(listLines(ID_RESULTS_LIST).size(), 1u);
    EXPECT_EQ(gSetups.savedCount, 2) << "loading changes no saved setup";
}

} // namespace
