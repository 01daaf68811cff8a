#include "setups/roll_command.h"

#include "dice/roll_evaluation.h"
#include "setups/control_ids.h"
#include "setups/roll_setup.h"
#include "setups/ui_operations.h"

void formatTotal(int64_t total, char (&line)[RESULT_LINE_CAPACITY]) {
    // The magnitude as unsigned, so the most negative total needs no negation in int64.
    uint64_t magnitude =
        total < 0 ? 0 - static_cast<uint64_t>(total) : static_cast<uint64_t>(total);
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);

    int length = 0;
    if (total < 0) {
        line[length++] = '-';
    }
    while (count > 0) {
        line[length++] = digits[--count];
    }
    line[length] = '\0';
}

void rollCommand() {
    const RollSetup& current = gSetups.entries[0];
    listClear(ID_RESULTS_LIST);
    if (current.numDice == 0 || current.size == 0) {
        return;
    }
    for (int32_t i = 0; i < current.numRolls && i < MAX_ROLLS_SHOWN; ++i) {
        const int64_t total = evaluateRoll(current.numDice, current.size, current.dropLowest) +
                              int64_t{current.bonus};
        char line[RESULT_LINE_CAPACITY];
        formatTotal(total, line);
        listAppend(ID_RESULTS_LIST, line);
    }
    redrawPanel();
}
