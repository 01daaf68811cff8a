// Fuzzes the roll-setup logic on the in-memory lists and fields: the input is a sequence of
// field edits, commands and selections, and after every step the table, both lists and the
// fields must agree with the field rules and with a model of the setup library.
#include "dice/random_source.h"
#include "dice/roll_evaluation.h"
#include "setups/control_ids.h"
#include "setups/roll_command.h"
#include "setups/roll_setup.h"
#include "setups/setup_library.h"
#include "setups/ui_operations.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/setups/fake_ui.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The six edit fields, in the order the step codes name them.
const int FIELDS[] = {ID_NAME, ID_NUM_DICE, ID_SIZE, ID_BONUS, ID_DROP_LOWEST, ID_NUM_ROLLS};
constexpr int FIELD_COUNT = 6;
enum Command { ROLL = 2 * FIELD_COUNT, SAVE, UPDATE, DELETE, LOAD, SELECT, STEP_KINDS };

// Dice one input may draw: one roll of MAX_DICE dice fits, so that executions stay short.
// A command that would draw more is skipped.
constexpr int64_t DRAW_BUDGET = MAX_DICE + 1;

// What the library must hold: the saved setups with their lines, and the selected line.
struct Model {
    RollSetup slots[MAX_SAVED_SETUPS];
    std::string lines[MAX_SAVED_SETUPS];
    int count;
    int selected;
    RollSetup rolled;                 // entry 0 when the results list was last filled
    std::vector<std::string> results; // that list
};
Model gModel;

// The setups-list line, built apart from the program's own formatting.
std::string lineOf(const RollSetup& setup) {
    std::string line = setup.name;
    line.resize(std::max<size_t>(line.size(), 26), ' ');
    line += "  " + std::to_string(setup.numDice) + "d" + std::to_string(setup.size);
    if (setup.bonus > 0) {
        line += "+" + std::to_string(setup.bonus);
    } else if (setup.bonus < 0) {
        line += " " + std::to_string(setup.bonus);
    }
    return line;
}

bool sameSetup(const RollSetup& a, const RollSetup& b) {
    return std::strcmp(a.name, b.name) == 0 && a.numDice == b.numDice && a.size == b.size &&
           a.bonus == b.bonus && a.dropLowest == b.dropLowest && a.numRolls == b.numRolls;
}

// The part of a field's text the handler reads.
std::string visibleText(int field) {
    return fakeField(field).substr(0, FIELD_TEXT_MAX);
}

// The value of an all-digit text, beyond 32 bits the largest 32-bit value; false otherwise.
bool digitValue(const std::string& text, int32_t& value) {
    int64_t sum = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        sum = std::min<int64_t>(sum * 10 + (c - '0'), INT32_MAX);
    }
    value = static_cast<int32_t>(sum);
    return true;
}

int32_t& member(RollSetup& setup, int field) {
    switch (field) {
    case ID_NUM_DICE:
        return setup.numDice;
    case ID_SIZE:
        return setup.size;
    case ID_BONUS:
        return setup.bonus;
    case ID_DROP_LOWEST:
        return setup.dropLowest;
    default:
        return setup.numRolls;
    }
}

// Entry 0 is what its fields show: the name verbatim; a numeric field holds digits only
// and its value, except the bonus field, whose rejected text leaves the bonus as it was.
void checkCurrent(long step, int32_t bonusIfRejected) {
    RollSetup& current = gSetups.entries[0];
    if (visibleText(ID_NAME) != current.name) {
        fail(step, "the name is not the name field's text");
    }
    for (int i = 1; i < FIELD_COUNT; ++i) {
        int32_t value = 0;
        if (digitValue(visibleText(FIELDS[i]), value)) {
            if (member(current, FIELDS[i]) != value) {
                fail(step, "field %d shows %d, its member holds %d", FIELDS[i], value,
                     member(current, FIELDS[i]));
            }
        } else if (FIELDS[i] != ID_BONUS) {
            fail(step, "field %d kept a text that is not all digits", FIELDS[i]);
        } else if (current.bonus != bonusIfRejected) {
            fail(step, "a rejected bonus text changed the bonus");
        }
    }
}

// The library is the model's, line for line and slot for slot; the free slots are defaults.
void checkLibrary(long step) {
    const FakeList& list = gFakeUi.setups;
    if (gSetups.savedCount != gModel.count || list.lines.size() != size_t(gModel.count)) {
        fail(step, "%d saved, %zu lines, the model has %d", gSetups.savedCount, list.lines.size(),
             gModel.count);
    }
    if (list.selected != gModel.selected) {
        fail(step, "line %d selected, the model has %d", list.selected, gModel.selected);
    }
    for (int slot = 1; slot <= gModel.count; ++slot) {
        if (list.lines[slot - 1] != gModel.lines[slot - 1]) {
            fail(step, "line %d is not the line of its setup", slot - 1);
        }
        if (!sameSetup(gSetups.entries[slot], gModel.slots[slot - 1])) {
            fail(step, "slot %d holds another setup", slot);
        }
    }
    for (int slot = gModel.count + 1; slot <= MAX_SAVED_SETUPS; ++slot) {
        const RollSetup& s = gSetups.entries[slot];
        if (s.name[0] != '\0' || s.numDice != 0 || s.size != 0 || s.bonus != 0 ||
            s.dropLowest != 0 || s.numRolls != 1) {
            fail(step, "free slot %d does not hold the defaults", slot);
        }
    }
}

// The results of the last roll: as many lines as asked for (at most 100), each the exact
// decimal of a total that the kept dice and the bonus allow; the bonus alone when no die
// is kept.
void checkResults(long step) {
    const RollSetup& s = gModel.rolled;
    const bool rolls = s.numDice != 0 && s.size != 0;
    const size_t wanted = rolls ? size_t(std::clamp(s.numRolls, 0, MAX_ROLLS_SHOWN)) : 0;
    if (gModel.results.size() != wanted) {
        fail(step, "%zu results, %zu asked for", gModel.results.size(), wanted);
    }
    const bool keepsDice =
        s.numDice > 0 && s.numDice <= MAX_DICE && s.size > 0 && s.dropLowest < s.numDice;
    const int64_t kept = keepsDice ? s.numDice - std::max(s.dropLowest, 0) : 0;
    const int64_t lowest = s.bonus + kept;
    const int64_t highest = s.bonus + kept * s.size;
    for (const std::string& line : gModel.results) {
        const long long total = std::strtoll(line.c_str(), nullptr, 10);
        if (std::to_string(total) != line || total < lowest || total > highest) {
            fail(step, "result \"%s\" is not a total in %lld .. %lld", line.c_str(),
                 static_cast<long long>(lowest), static_cast<long long>(highest));
        }
    }
}

// A field's new text: up to 15 bytes of pattern, as they are or repeated to any length up
// to 4096, so that short inputs reach the 2047-character limit.
std::string fieldText(FuzzInput& in) {
    const uint8_t head = nextByte(in);
    std::string pattern;
    for (int i = head % 16; i > 0; --i) {
        pattern += static_cast<char>(nextByte(in));
    }
    if ((head & 0x10) == 0 || pattern.empty()) {
        return pattern;
    }
    const size_t length = (size_t{nextByte(in)} << 8 | nextByte(in)) % 4097;
    std::string text;
    while (text.size() < length) {
        text += pattern;
    }
    text.resize(length);
    return text;
}

// Dice that rolling this setup draws.
int64_t drawsOf(const RollSetup& s) {
    if (s.numDice <= 0 || s.numDice > MAX_DICE || s.size <= 0) {
        return 0;
    }
    return int64_t{s.numDice} * std::clamp(s.numRolls, 0, MAX_ROLLS_SHOWN);
}

// What loading reads: the selected line's setup, entry 0 itself when none is selected.
RollSetup loadSource() {
    return gModel.selected < 0 ? gSetups.entries[0] : gModel.slots[gModel.selected];
}

// The text a field shows after loading `value`: a negative number other than the bonus is
// refused by its field, which ends empty, and the member 0.
std::string shownAfterLoad(int field, int32_t value) {
    return field != ID_BONUS && value < 0 ? "" : std::to_string(value);
}

void startAsTheProgramDoes() {
    resetFakeUi();
    gSetups.savedCount = 0;
    resetSetupTable();
    seedRandomFromTime(0);
    fieldSetText(ID_NUM_ROLLS, "1");
    fieldSetText(ID_BONUS, "0");
    gModel.count = 0;
    gModel.selected = -1;
    resetSetup(gModel.rolled);
    gModel.results.clear();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size, 0};
    startAsTheProgramDoes();
    RollSetup& current = gSetups.entries[0];
    int64_t drawsLeft = DRAW_BUDGET;
    for (long step = 0; !atEnd(in); ++step) {
        const int kind = nextByte(in) % STEP_KINDS;
        const RollSetup before = current;
        const int repaintsBefore = gFakeUi.repaintCount;
        bool rolled = false;
        if (kind < FIELD_COUNT) {
            fieldSetText(FIELDS[kind], fieldText(in).c_str());
        } else if (kind < 2 * FIELD_COUNT) {
            // A keystroke at the end; a zero byte, which no key types, selects all and deletes.
            const char key = static_cast<char>(nextByte(in));
            if (key == '\0') {
                clearByKeyboard(FIELDS[kind - FIELD_COUNT]);
            } else {
                typeInto(FIELDS[kind - FIELD_COUNT], std::string(1, key));
            }
        } else if (kind == ROLL || kind == LOAD) {
            // Entry 0 afterwards: a load's source, with each number its field refuses made 0.
            RollSetup source = kind == LOAD ? loadSource() : current;
            RollSetup expected = source;
            for (int i = 1; i < FIELD_COUNT && kind == LOAD; ++i) {
                if (shownAfterLoad(FIELDS[i], member(source, FIELDS[i])).empty()) {
                    member(expected, FIELDS[i]) = 0;
                }
            }
            if (drawsOf(expected) > drawsLeft) {
                continue;
            }
            drawsLeft -= drawsOf(expected);
            if (kind == LOAD) {
                loadSetup();
            } else {
                rollCommand();
            }
            if (!sameSetup(current, expected)) {
                fail(step, "entry 0 is not the setup that was loaded or rolled");
            }
            for (int i = 1; i < FIELD_COUNT && kind == LOAD; ++i) {
                if (visibleText(FIELDS[i]) !=
                    shownAfterLoad(FIELDS[i], member(source, FIELDS[i]))) {
                    fail(step, "loading left field %d without its value", FIELDS[i]);
                }
            }
            const bool rollsDice = current.numDice != 0 && current.size != 0;
            if (gFakeUi.repaintCount != repaintsBefore + (rollsDice ? 1 : 0)) {
                fail(step, "a roll repainted %d times", gFakeUi.repaintCount - repaintsBefore);
            }
            gModel.rolled = current;
            gModel.results = gFakeUi.results.lines;
            checkResults(step);
            rolled = true;
        } else if (kind == SAVE) {
            saveSetup();
            if (gModel.count < MAX_SAVED_SETUPS) {
                gModel.slots[gModel.count] = current;
                gModel.lines[gModel.count] = lineOf(current);
                gModel.count += 1;
            }
        } else if (kind == UPDATE) {
            updateSetup();
            if (gModel.selected >= 0) {
                gModel.slots[gModel.selected] = current;
                gModel.lines[gModel.selected] = lineOf(current);
                gModel.selected = -1;
            }
        } else if (kind == DELETE) {
            deleteSetup();
            if (gModel.selected >= 0) {
                std::copy(gModel.slots + gModel.selected + 1, gModel.slots + gModel.count,
                          gModel.slots + gModel.selected);
                std::copy(gModel.lines + gModel.selected + 1, gModel.lines + gModel.count,
                          gModel.lines + gModel.selected);
                gModel.count -= 1;
                gModel.selected = gModel.selected < gModel.count ? gModel.selected : -1;
            }
        } else {
            // A click on a line, or on no line at all.
            const uint8_t line = nextByte(in);
            gModel.selected = gModel.count > 0 && line < 128 ? line % gModel.count : -1;
            listSelect(ID_SETUP_LIST, gModel.selected);
        }

        if (kind >= SAVE && kind != LOAD && !sameSetup(current, before)) {
            fail(step, "a library command or a selection changed entry 0");
        }
        checkCurrent(step, kind == LOAD ? current.bonus : before.bonus);
        checkLibrary(step);
        if (!rolled && gFakeUi.results.lines != gModel.results) {
            fail(step, "the results changed without a roll");
        }
        if (gFakeUi.maxFieldDepth > 2) {
            fail(step, "setting a field nested %d deep", gFakeUi.maxFieldDepth);
        }
    }
    // Memory held from one input to the next would look like a leak to libFuzzer.
    resetFakeUi();
    gModel.results = {};
    std::fill(gModel.lines, gModel.lines + MAX_SAVED_SETUPS, std::string());
    return 0;
}
