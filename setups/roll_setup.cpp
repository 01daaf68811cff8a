#include "setups/roll_setup.h"

#include "setups/control_ids.h"
#include "setups/ui_operations.h"

#include <cstdio>

SetupTable gSetups;

void resetSetup(RollSetup& setup) {
    setup.name[0] = '\0';
    setup.numDice = 0;
    setup.size = 0;
    setup.bonus = 0;
    setup.dropLowest = 0;
    setup.numRolls = 1;
}

void resetSetupTable() {
    for (RollSetup& setup : gSetups.entries) {
        resetSetup(setup);
    }
}

void copySetup(RollSetup& to, const RollSetup& from) {
    if (&to == &from) {
        return; // copying a setup onto itself would overlap the name
    }
    std::snprintf(to.name, sizeof to.name, "%s", from.name);
    to.numDice = from.numDice;
    to.size = from.size;
    to.bonus = from.bonus;
    to.dropLowest = from.dropLowest;
    to.numRolls = from.numRolls;
}

// Compared as bytes, so text in any code page (bytes above 127) is simply not a digit.
static bool isDigitByte(char c) {
    return c >= '0' && c <= '9';
}

bool isAllDigits(const char* text) {
    if (text == nullptr) {
        return true;
    }
    for (const char* p = text; *p != '\0'; ++p) {
        if (!isDigitByte(*p)) {
            return false;
        }
    }
    return true;
}

int32_t digitsToInt(const char* text) {
    constexpr int32_t LIMIT = INT32_MAX;
    int32_t value = 0;
    if (text == nullptr) {
        return 0;
    }
    for (const char* p = text; isDigitByte(*p); ++p) {
        const int32_t digit = *p - '0';
        // value * 10 + digit > LIMIT, tested without overflowing
        if (value > (LIMIT - digit) / 10) {
            return LIMIT;
        }
        value = value * 10 + digit;
    }
    return value;
}

// The member of the current setup a numeric field feeds; null for other ids.
static int32_t* numericMember(int controlId) {
    RollSetup& current = gSetups.entries[0];
    switch (controlId) {
    case ID_NUM_DICE:
        return &current.numDice;
    case ID_SIZE:
        return &current.size;
    case ID_BONUS:
        return &current.bonus;
    case ID_DROP_LOWEST:
        return &current.dropLowest;
    case ID_NUM_ROLLS:
        return &current.numRolls;
    default:
        return nullptr;
    }
}

// True while a call is emptying a field. Emptying re-enters this handler for the same
// field; should that inner call still read invalid text, it must not empty the field again.
static bool gEmptyingField = false;

void onFieldChanged(int controlId) {
    const bool isName = controlId == ID_NAME;
    int32_t* member = numericMember(controlId);
    if (!isName && member == nullptr) {
        return;
    }

    char text[FIELD_TEXT_MAX + 1];
    text[0] = '\0';
    fieldGetText(controlId, text);
    text[FIELD_TEXT_MAX] = '\0';

    if (isName) {
        std::snprintf(gSetups.entries[0].name, sizeof gSetups.entries[0].name, "%s", text);
        return;
    }
    if (isAllDigits(text)) {
        *member = digitsToInt(text);
        return;
    }
    if (controlId == ID_BONUS) {
        return; // a rejected bonus text stays in the field and the bonus keeps its value
    }
    // Any other invalid numeric text empties the field; an empty field means 0.
    if (!gEmptyingField) {
        gEmptyingField = true;
        fieldSetText(controlId, "");
        gEmptyingField = false;
    }
    *member = 0;
}
