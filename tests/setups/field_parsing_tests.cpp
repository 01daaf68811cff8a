#include "setups/control_ids.h"
#include "setups/roll_setup.h"
#include "setups/ui_operations.h"
#include "tests/setups/setups_fixture.h"

#include <string>

namespace {

using FieldParsing = SetupsTest;

TEST(DigitText, OnlyTheAsciiDigitsCount) {
    EXPECT_TRUE(isAllDigits(""));
    EXPECT_TRUE(isAllDigits("0123456789"));
    for (const char* text : {"-1", "+1", " 5", "5 ", "1d6", "x", "\t", "1.5", "/", ":"}) {
        EXPECT_FALSE(isAllDigits(text)) << text;
    }
    // Bytes above 127 are negative chars; none of them is a digit.
    for (int byte = 128; byte < 256; ++byte) {
        const char text[] = {'1', static_cast<char>(byte), '\0'};
        EXPECT_FALSE(isAllDigits(text)) << byte;
    }
}

TEST(DigitText, ConvertsExactlyUpToTheLargest32BitValue) {
    EXPECT_EQ(digitsToInt(""), 0);
    EXPECT_EQ(digitsToInt("0"), 0);
    EXPECT_EQ(digitsToInt("0007"), 7);
    EXPECT_EQ(digitsToInt("2147483646"), 2147483646);
    EXPECT_EQ(digitsToInt("2147483647"), 2147483647);
    EXPECT_EQ(digitsToInt("0000000000002147483647"), 2147483647);
}

TEST(DigitText, LargerValuesSaturateAtTheLargest32BitValue) {
    EXPECT_EQ(digitsToInt("2147483648"), 2147483647);
    EXPECT_EQ(digitsToInt("2147483650"), 2147483647);
    EXPECT_EQ(digitsToInt("9999999999"), 2147483647);
    EXPECT_EQ(digitsToInt("21474836470"), 2147483647);
    EXPECT_EQ(digitsToInt(std::string(2047, '9').c_str()), 2147483647);
}

TEST_F(FieldParsing, EachKeystrokeUpdatesTheCurrentSetup) {
    typeInto(ID_NUM_DICE, "1");
    EXPECT_EQ(current().numDice, 1);
    typeInto(ID_NUM_DICE, "2");
    EXPECT_EQ(current().numDice, 12);
    typeInto(ID_DROP_LOWEST, "03");
    EXPECT_EQ(current().dropLowest, 3);
    EXPECT_EQ(fakeField(ID_DROP_LOWEST), "03"); // leading zeros stay in the field
    typeInto(ID_NUM_ROLLS, "\b7");
    EXPECT_EQ(current().numRolls, 7);
}

TEST_F(FieldParsing, TypingALetterIntoTheFacesFieldEmptiesIt) {
    typeInto(ID_SIZE, "1");
    EXPECT_EQ(current().size, 1);
    typeInto(ID_SIZE, "d");
    EXPECT_EQ(fakeField(ID_SIZE), "");
    EXPECT_EQ(current().size, 0);
    typeInto(ID_SIZE, "6");
    EXPECT_EQ(fakeField(ID_SIZE), "6");
    EXPECT_EQ(current().size, 6);
}

TEST_F(FieldParsing, EveryNumericFieldButTheBonusIsEmptiedByInvalidText) {
    for (int field : {ID_NUM_DICE, ID_SIZE, ID_DROP_LOWEST, ID_NUM_ROLLS}) {
        typeInto(field, "9");
        for (const char* key : {" ", "-", "+", "x", "\xe9"}) {
            typeInto(field, "42");
            typeInto(field, key);
            EXPECT_EQ(fakeField(field), "") << field << " after " << key;
        }
    }
    EXPECT_EQ(current().numDice, 0);
    EXPECT_EQ(current().size, 0);
    EXPECT_EQ(current().dropLowest, 0);
    EXPECT_EQ(current().numRolls, 0);
}

TEST_F(FieldParsing, ASpaceInTheRollCountFieldEmptiesIt) {
    typeInto(ID_NUM_ROLLS, " 5");
    EXPECT_EQ(fakeField(ID_NUM_ROLLS), "5");
    EXPECT_EQ(current().numRolls, 5);

    // Text pasted or set at once, not typed, is emptied whole.
    fieldSetText(ID_NUM_ROLLS, " 5");
    EXPECT_EQ(fakeField(ID_NUM_ROLLS), "");
    EXPECT_EQ(current().numRolls, 0);
}

TEST_F(FieldParsing, RejectedBonusTextStaysAndKeepsTheBonus) {
    typeInto(ID_BONUS, "4");
    EXPECT_EQ(current().bonus, 4);
    clearByKeyboard(ID_BONUS);
    EXPECT_EQ(current().bonus, 0);
    typeInto(ID_BONUS, "-");
    EXPECT_EQ(fakeField(ID_BONUS), "-");
    EXPECT_EQ(current().bonus, 0);
    typeInto(ID_BONUS, "2");
    EXPECT_EQ(fakeField(ID_BONUS), "-2");
    EXPECT_EQ(current().bonus, 0);

    clearByKeyboard(ID_BONUS);
    typeInto(ID_BONUS, "7");
    typeInto(ID_BONUS, "x\xff");
    EXPECT_EQ(fakeField(ID_BONUS), "7x\xff");
    EXPECT_EQ(current().bonus, 7);
    EXPECT_EQ(gFakeUi.fieldSetCount, 0);
}

TEST_F(FieldParsing, DeletingAllTextStoresZero) {
    for (int field : {ID_NUM_DICE, ID_SIZE, ID_BONUS, ID_DROP_LOWEST, ID_NUM_ROLLS}) {
        typeInto(field, "35");
        typeInto(field, "\b\b");
        EXPECT_EQ(fakeField(field), "");
    }
    EXPECT_EQ(current().numDice, 0);
    EXPECT_EQ(current().size, 0);
    EXPECT_EQ(current().bonus, 0);
    EXPECT_EQ(current().dropLowest, 0);
    EXPECT_EQ(current().numRolls, 0);
}

TEST_F(FieldParsing, ElevenDigitTextsSaturate) {
    typeInto(ID_SIZE, "99999999999");
    EXPECT_EQ(current().size, 2147483647);
    fieldSetText(ID_BONUS, "2147483648");
    EXPECT_EQ(current().bonus, 2147483647); // never wraps to a negative bonus
    fieldSetText(ID_NUM_DICE, std::string(5000, '7').c_str());
    EXPECT_EQ(current().numDice, 2147483647);
}

TEST_F(FieldParsing, TheNameIsStoredVerbatim) {
    typeInto(ID_NAME, "%s %d%n 50% \xe4\xf6 ");
    EXPECT_STREQ(current().name, "%s %d%n 50% \xe4\xf6 ");
    typeInto(ID_NAME, "\b\b");
    EXPECT_STREQ(current().name, "%s %d%n 50% \xe4");
    clearByKeyboard(ID_NAME);
    EXPECT_STREQ(current().name, "");
}

TEST_F(FieldParsing, ALongNameIsCutTo2047Characters) {
    std::string text(3000, 'a');
    text[2046] = 'z';
    fieldSetText(ID_NAME, text.c_str());
    EXPECT_EQ(std::string(current().name), std::string(2046, 'a') + "z");
}

TEST_F(FieldParsing, SettingAFieldByProgramParsesItLikeTyping) {
    fieldSetText(ID_NUM_ROLLS, "1");
    fieldSetText(ID_BONUS, "0");
    EXPECT_EQ(current().numRolls, 1);
    EXPECT_EQ(current().bonus, 0);
    fieldSetText(ID_DROP_LOWEST, "x");
    EXPECT_EQ(fakeField(ID_DROP_LOWEST), "");
    EXPECT_EQ(current().dropLowest, 0);
    EXPECT_EQ(gFakeUi.maxFieldDepth, 2); // the emptying set nests once, then stops
}

TEST_F(FieldParsing, OtherControlsAreIgnored) {
    const RollSetup before = current();
    const int others[] = {0, -1, ID_ROLL, ID_RESULTS_LIST, ID_SETUP_LIST, ID_UPDATE_SETUP, 100000};
    for (int id : others) {
        onFieldChanged(id);
    }
    EXPECT_EQ(current().numRolls, before.numRolls);
    EXPECT_EQ(current().numDice, before.numDice);
    EXPECT_EQ(gFakeUi.fieldSetCount, 0);
}

TEST_F(FieldParsing, AFieldThatKeepsItsInvalidTextDoesNotRecurse) {
    // Emptying a field re-enters the handler; even if the text came back invalid, the
    // handler must not empty it again and again.
    typeInto(ID_SIZE, "8");
    gFakeUi.fieldsRefuseText = true;
    typeInto(ID_SIZE, "x");
    EXPECT_EQ(gFakeUi.fieldSetCount, 1);
    EXPECT_EQ(current().size, 0);
}

} // namespace
