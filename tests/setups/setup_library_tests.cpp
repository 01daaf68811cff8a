#include "setups/control_ids.h"
#include "setups/setup_library.h"
#include "setups/ui_operations.h"
#include "tests/setups/setups_fixture.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string lineOf(const RollSetup& setup) {
    char line[SETUP_LINE_CAPACITY];
    formatSetupLineFor(setup, line);
    return line;
}

bool isDefault(const RollSetup& setup) {
    return setup.name[0] == '\0' && setup.numDice == 0 && setup.size == 0 && setup.bonus == 0 &&
           setup.dropLowest == 0 && setup.numRolls == 1;
}

// The setups list shows exactly the saved slots, in order, and every unused slot is default.
void expectListMatchesTable() {
    const std::vector<std::string>& lines = gFakeUi.setups.lines;
    ASSERT_GE(gSetups.savedCount, 0);
    ASSERT_LE(gSetups.savedCount, MAX_SAVED_SETUPS);
    ASSERT_EQ(lines.size(), static_cast<size_t>(gSetups.savedCount));
    for (int32_t slot = 1; slot <= gSetups.savedCount; ++slot) {
        EXPECT_EQ(lines[slot - 1], lineOf(gSetups.entries[slot])) << "slot " << slot;
    }
    for (int32_t slot = gSetups.savedCount + 1; slot <= MAX_SAVED_SETUPS; ++slot) {
        EXPECT_TRUE(isDefault(gSetups.entries[slot])) << "slot " << slot;
    }
}

class SetupLibrary : public SetupsTest {
  protected:
    // Types a setup into the fields, the way the user would, and saves it.
    void saveTyped(const char* name, const char* dice, const char* faces, const char* bonus) {
        clearByKeyboard(ID_NAME);
        typeInto(ID_NAME, name);
        clearByKeyboard(ID_NUM_DICE);
        typeInto(ID_NUM_DICE, dice);
        clearByKeyboard(ID_SIZE);
        typeInto(ID_SIZE, faces);
        clearByKeyboard(ID_BONUS);
        typeInto(ID_BONUS, bonus);
        saveSetup();
    }

    void saveThree() {
        saveTyped("Longsword", "1", "8", "3");
        saveTyped("Fireball", "8", "6", "");
        saveTyped("Dagger", "1", "4", "2");
        expectListMatchesTable();
    }

    void TearDown() override {
        expectListMatchesTable();
        SetupsTest::TearDown();
    }
};

using SetupLine = SetupLibrary;

TEST_F(SetupLine, PadsTheNameAndShowsTheDiceAndBonus) {
    std::snprintf(current().name, NAME_CAPACITY, "%s", "Longsword");
    current().numDice = 1;
    current().size = 8;
    current().bonus = 3;
    const std::string fill(17 + 2, ' ');
    char line[SETUP_LINE_CAPACITY];
    formatSetupLine(line);
    EXPECT_EQ(std::string(line), "Longsword" + fill + "1d8+3");
    current().bonus = -1;
    formatSetupLine(line);
    EXPECT_EQ(std::string(line), "Longsword" + fill + "1d8 -1");
    current().bonus = 0;
    formatSetupLine(line);
    EXPECT_EQ(std::string(line), "Longsword" + fill + "1d8");
}

TEST_F(SetupLine, ShowsNamesVerbatimAndUncut) {
    RollSetup setup = {};
    setup.numDice = 2;
    setup.size = 6;
    EXPECT_EQ(lineOf(setup), std::string(28, ' ') + "2d6");
    std::snprintf(setup.name, NAME_CAPACITY, "%s", "%s%n 100% %d");
    EXPECT_EQ(lineOf(setup), "%s%n 100% %d" + std::string(14 + 2, ' ') + "2d6");
    std::snprintf(setup.name, NAME_CAPACITY, "%s", "An axe of exactly 27 chars!");
    EXPECT_EQ(lineOf(setup), "An axe of exactly 27 chars!  2d6");
}

TEST_F(SetupLine, TheLongestLineFitsWhole) {
    RollSetup setup = {};
    std::memset(setup.name, 'n', NAME_CAPACITY - 1);
    setup.numDice = INT32_MIN;
    setup.size = INT32_MIN;
    setup.bonus = INT32_MIN;
    const std::string expected =
        std::string(NAME_CAPACITY - 1, 'n') + "  -2147483648d-2147483648 -2147483648";
    EXPECT_EQ(expected.size(), 2084u);
    EXPECT_EQ(lineOf(setup), expected);
    setup.bonus = INT32_MAX;
    EXPECT_EQ(lineOf(setup),
              std::string(NAME_CAPACITY - 1, 'n') + "  -2147483648d-2147483648+2147483647");
}

TEST_F(SetupLibrary, SavingAppendsALineAndLeavesTheSelection) {
    saveTyped("", "0", "", "");
    EXPECT_EQ(gFakeUi.setups.lines[0], std::string(28, ' ') + "0d0");
    listSelect(ID_SETUP_LIST, 0);
    saveTyped("Axe", "1", "12", "");
    saveSetup(); // unchanged: a second, identical line and slot
    EXPECT_EQ(gSetups.savedCount, 3);
    EXPECT_EQ(gFakeUi.setups.lines[1], gFakeUi.setups.lines[2]);
    EXPECT_EQ(gSetups.entries[3].size, 12);
    EXPECT_EQ(gFakeUi.setups.selected, 0);
}

TEST_F(SetupLibrary, SavingCopiesEveryNumberAndTheName) {
    saveTyped("50% off", "3", "6", "2");
    typeInto(ID_DROP_LOWEST, "1");
    typeInto(ID_NUM_ROLLS, "\b4");
    saveSetup();
    const RollSetup& slot = gSetups.entries[2];
    EXPECT_STREQ(slot.name, "50% off");
    EXPECT_EQ(slot.numDice, 3);
    EXPECT_EQ(slot.size, 6);
    EXPECT_EQ(slot.bonus, 2);
    EXPECT_EQ(slot.dropLowest, 1);
    EXPECT_EQ(slot.numRolls, 4);
    EXPECT_EQ(gFakeUi.setups.lines[1], "50% off" + std::string(19 + 2, ' ') + "3d6+2");
}

TEST_F(SetupLibrary, TheTwentyFirstSaveIsIgnored) {
    for (int i = 0; i < MAX_SAVED_SETUPS; ++i) {
        saveTyped(std::to_string(i).c_str(), "1", "6", "");
    }
    EXPECT_EQ(gSetups.savedCount, 20);
    saveTyped("one too many", "2", "6", "");
    EXPECT_EQ(gSetups.savedCount, 20);
    EXPECT_EQ(gFakeUi.setups.lines.size(), 20u);
    EXPECT_STREQ(gSetups.entries[20].name, "19");
}

TEST_F(SetupLibrary, DeletingLineZeroOfThreeMovesTheRestUp) {
    saveThree();
    listSelect(ID_SETUP_LIST, 0);
    deleteSetup();
    EXPECT_EQ(gSetups.savedCount, 2);
    EXPECT_STREQ(gSetups.entries[1].name, "Fireball");
    EXPECT_STREQ(gSetups.entries[2].name, "Dagger");
    EXPECT_EQ(gSetups.entries[2].bonus, 2);
    EXPECT_TRUE(isDefault(gSetups.entries[3]));
    EXPECT_EQ(gFakeUi.setups.selected, 0);
}

TEST_F(SetupLibrary, DeletingTheLastLineLeavesNoSelection) {
    saveThree();
    listSelect(ID_SETUP_LIST, 2);
    deleteSetup();
    EXPECT_EQ(gSetups.savedCount, 2);
    EXPECT_EQ(gFakeUi.setups.selected, -1);
    deleteSetup(); // nothing selected: nothing happens
    EXPECT_EQ(gSetups.savedCount, 2);
}

TEST_F(SetupLibrary, DeletingTheOnlyLineEmptiesTheList) {
    saveTyped("Only", "1", "6", "");
    listSelect(ID_SETUP_LIST, 0);
    deleteSetup();
    EXPECT_EQ(gSetups.savedCount, 0);
    EXPECT_TRUE(gFakeUi.setups.lines.empty());
    EXPECT_EQ(gFakeUi.setups.selected, -1);
    deleteSetup();
    EXPECT_EQ(gSetups.savedCount, 0);
}

TEST_F(SetupLibrary, DeletingLeavesTheCurrentSetupAlone) {
    saveThree();
    listSelect(ID_SETUP_LIST, 1);
    deleteSetup();
    EXPECT_STREQ(current().name, "Dagger");
    EXPECT_EQ(gFakeUi.setups.selected, 1);
}

TEST_F(SetupLibrary, UpdatingWithNoSelectionChangesNothing) {
    saveThree();
    typeInto(ID_NAME, "Changed");
    updateSetup();
    EXPECT_STREQ(gSetups.entries[3].name, "Dagger");
}

TEST_F(SetupLibrary, UpdatingReplacesTheSelectedLineInPlace) {
    saveThree();
    const std::vector<std::string> before = gFakeUi.setups.lines;
    clearByKeyboard(ID_NAME);
    typeInto(ID_NAME, "Greatsword");
    clearByKeyboard(ID_NUM_DICE);
    typeInto(ID_NUM_DICE, "2");
    typeInto(ID_DROP_LOWEST, "1");
    listSelect(ID_SETUP_LIST, 1);
    updateSetup();

    ASSERT_EQ(gFakeUi.setups.lines.size(), 3u);
    EXPECT_EQ(gFakeUi.setups.lines[0], before[0]);
    EXPECT_EQ(gFakeUi.setups.lines[1], "Greatsword" + std::string(16 + 2, ' ') + "2d4+2");
    EXPECT_EQ(gFakeUi.setups.lines[2], before[2]);
    EXPECT_EQ(gSetups.entries[2].dropLowest, 1);
    EXPECT_EQ(gSetups.savedCount, 3);
    // The old line was the selected one and is gone: a further update does nothing.
    EXPECT_EQ(gFakeUi.setups.selected, -1);
    typeInto(ID_NAME, "!");
    updateSetup();
    EXPECT_STREQ(gSetups.entries[2].name, "Greatsword");
}

TEST_F(SetupLibrary, LoadingCopiesTheSlotIntoTheFieldsAndRolls) {
    saveThree();
    typeInto(ID_NAME, " and more");
    listSelect(ID_SETUP_LIST, 1);
    loadSetup();
    EXPECT_STREQ(current().name, "Fireball");
    EXPECT_EQ(current().numDice, 8);
    EXPECT_EQ(current().size, 6);
    EXPECT_EQ(fakeField(ID_NAME), "Fireball");
    EXPECT_EQ(fakeField(ID_NUM_DICE), "8");
    EXPECT_EQ(fakeField(ID_SIZE), "6");
    EXPECT_EQ(fakeField(ID_BONUS), "0");
    EXPECT_EQ(fakeField(ID_DROP_LOWEST), "0");
    EXPECT_EQ(fakeField(ID_NUM_ROLLS), "1");
    EXPECT_EQ(gFakeUi.results.lines.size(), 1u);
    EXPECT_EQ(gFakeUi.repaintCount, 1);
    EXPECT_EQ(gFakeUi.setups.selected, 1);
}

TEST_F(SetupLibrary, LoadingWithNoSelectionTidiesTheFields) {
    typeInto(ID_NUM_DICE, "002");
    typeInto(ID_SIZE, "6");
    typeInto(ID_BONUS, "5");
    typeInto(ID_BONUS, "-");
    typeInto(ID_NUM_ROLLS, "\b");
    typeInto(ID_NAME, "50%");
    loadSetup();
    EXPECT_EQ(fakeField(ID_NUM_DICE), "2");
    EXPECT_EQ(fakeField(ID_BONUS), "5");
    EXPECT_EQ(fakeField(ID_NUM_ROLLS), "0");
    EXPECT_EQ(fakeField(ID_NAME), "50%");
    EXPECT_EQ(current().bonus, 5);
    EXPECT_TRUE(gFakeUi.results.lines.empty()); // no rolls asked for
    EXPECT_EQ(gFakeUi.repaintCount, 1);
}

TEST_F(SetupLibrary, LoadingNegativeValuesKeepsOnlyTheBonus) {
    saveTyped("Cursed", "1", "1", "");
    RollSetup& slot = gSetups.entries[1];
    slot.numDice = -1;
    slot.size = -2;
    slot.bonus = -3;
    slot.dropLowest = -4;
    slot.numRolls = -5;
    gFakeUi.setups.lines[0] = lineOf(slot);
    listSelect(ID_SETUP_LIST, 0);
    loadSetup();
    EXPECT_EQ(current().bonus, -3);
    EXPECT_EQ(fakeField(ID_BONUS), "-3");
    for (int field : {ID_NUM_DICE, ID_SIZE, ID_DROP_LOWEST, ID_NUM_ROLLS}) {
        EXPECT_EQ(fakeField(field), "") << field;
    }
    EXPECT_EQ(current().numDice, 0);
    EXPECT_EQ(current().size, 0);
    EXPECT_EQ(current().dropLowest, 0);
    EXPECT_EQ(current().numRolls, 0);
    EXPECT_EQ(slot.numDice, -1); // loading only reads the slot
}

TEST_F(SetupLibrary, NamesWithPercentSignsRoundTrip) {
    const char* name = "%s%s%s%n %x 100%";
    saveTyped(name, "1", "20", "");
    clearByKeyboard(ID_NAME);
    listSelect(ID_SETUP_LIST, 0);
    loadSetup();
    EXPECT_STREQ(current().name, name);
    EXPECT_EQ(fakeField(ID_NAME), name);
    EXPECT_EQ(gFakeUi.setups.lines[0], std::string(name) + std::string(10 + 2, ' ') + "1d20");
}

TEST_F(SetupLibrary, ASelectionBeyondTheSavedSetupsIsIgnored) {
    saveThree();
    gFakeUi.setups.lines.push_back("stray line");
    gFakeUi.setups.selected = 3;
    typeInto(ID_NAME, "x");
    updateSetup();
    deleteSetup();
    loadSetup();
    EXPECT_EQ(gSetups.savedCount, 3);
    EXPECT_STREQ(current().name, "Daggerx");
    EXPECT_TRUE(gFakeUi.results.lines.empty());
    gFakeUi.setups.lines.pop_back();
}

} // namespace
