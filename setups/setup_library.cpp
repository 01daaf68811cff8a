#include "setups/setup_library.h"

#include "setups/control_ids.h"
#include "setups/roll_command.h"
#include "setups/ui_operations.h"

#include <cstdio>

// " -2147483648" and its terminator.
constexpr int BONUS_SUFFIX_CAPACITY = 16;
// "-2147483648" and its terminator.
constexpr int NUMBER_TEXT_CAPACITY = 16;

void formatSetupLineFor(const RollSetup& setup, char (&line)[SETUP_LINE_CAPACITY]) {
    char suffix[BONUS_SUFFIX_CAPACITY] = "";
    if (setup.bonus > 0) {
        std::snprintf(suffix, sizeof suffix, "+%d", setup.bonus);
    } else if (setup.bonus < 0) {
        std::snprintf(suffix, sizeof suffix, " %d", setup.bonus);
    }
    // The name is an argument, never the format, so a '%' in it is shown as typed.
    std::snprintf(line, sizeof line, "%-26s  %dd%d%s", setup.name, setup.numDice, setup.size,
                  suffix);
}

void formatSetupLine(char (&line)[SETUP_LINE_CAPACITY]) {
    formatSetupLineFor(gSetups.entries[0], line);
}

// The slot of a selected setups-list line, or 0 when the index names no saved setup.
static int32_t slotOfLine(int line) {
    if (line < 0 || line >= gSetups.savedCount) {
        return 0;
    }
    return line + 1;
}

void saveSetup() {
    if (gSetups.savedCount >= MAX_SAVED_SETUPS) {
        return;
    }
    gSetups.savedCount += 1;
    copySetup(gSetups.entries[gSetups.savedCount], gSetups.entries[0]);

    char line[SETUP_LINE_CAPACITY];
    formatSetupLine(line);
    listAppend(ID_SETUP_LIST, line);
}

void updateSetup() {
    const int selected = listSelectedIndex(ID_SETUP_LIST);
    const int32_t slot = slotOfLine(selected);
    if (slot == 0) {
        return;
    }
    copySetup(gSetups.entries[slot], gSetups.entries[0]);

    char line[SETUP_LINE_CAPACITY];
    formatSetupLine(line);
    // The insert moves the selection onto the old line and the delete removes it, so no
    // line is selected afterwards.
    listInsert(ID_SETUP_LIST, selected, line);
    listDelete(ID_SETUP_LIST, selected + 1);
}

void deleteSetup() {
    const int selected = listSelectedIndex(ID_SETUP_LIST);
    const int32_t slot = slotOfLine(selected);
    if (slot == 0) {
        return;
    }
    for (int32_t i = slot; i < gSetups.savedCount; ++i) {
        copySetup(gSetups.entries[i], gSetups.entries[i + 1]);
    }
    resetSetup(gSetups.entries[gSetups.savedCount]);
    gSetups.savedCount -= 1;

    listDelete(ID_SETUP_LIST, selected);
    // The line that moved up into the deleted one's place; none after the last line.
    listSelect(ID_SETUP_LIST, selected);
}

// Sets a numeric field to the "%d" text of a value; the field handler parses it back.
static void showNumber(int fieldId, int32_t value) {
    char text[NUMBER_TEXT_CAPACITY];
    std::snprintf(text, sizeof text, "%d", value);
    fieldSetText(fieldId, text);
}

void loadSetup() {
    const int selected = listSelectedIndex(ID_SETUP_LIST);
    if (selected != -1 && slotOfLine(selected) == 0) {
        return; // a selection the table does not know
    }
    RollSetup& current = gSetups.entries[0];
    copySetup(current, gSetups.entries[slotOfLine(selected)]);

    // Each text change runs the field handler, which parses the value back into entry 0:
    // a negative bonus stays, any other negative number empties its field and becomes 0.
    fieldSetText(ID_NAME, current.name);
    showNumber(ID_NUM_ROLLS, current.numRolls);
    showNumber(ID_BONUS, current.bonus);
    showNumber(ID_NUM_DICE, current.numDice);
    showNumber(ID_SIZE, current.size);
    showNumber(ID_DROP_LOWEST, current.dropLowest);

    rollCommand();
}
