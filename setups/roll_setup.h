#pragma once

#include <cstdint>

constexpr int NAME_CAPACITY = 2048;
constexpr int MAX_SAVED_SETUPS = 20;
constexpr int SETUP_TABLE_SIZE = MAX_SAVED_SETUPS + 1;

// One roll description.
struct RollSetup {
    char name[NAME_CAPACITY];
    int32_t numDice;
    int32_t size;
    int32_t bonus;
    int32_t dropLowest;
    int32_t numRolls;
};

// Entry 0 is the current setup (the one the fields edit and the roll command rolls);
// entries 1 .. savedCount are the saved setups, slot i shown as line i - 1 of the setups list.
struct SetupTable {
    RollSetup entries[SETUP_TABLE_SIZE];
    int32_t savedCount;
};

extern SetupTable gSetups;

// A setup with the defaults: empty name, numRolls 1, every other number 0.
void resetSetup(RollSetup& setup);
// Every entry back to the defaults; savedCount is left alone.
void resetSetupTable();
// Copies the five numbers and the name; the name is cut to NAME_CAPACITY - 1 and terminated.
void copySetup(RollSetup& to, const RollSetup& from);

// True when every byte is '0'..'9'; true for the empty text.
bool isAllDigits(const char* text);
// Decimal value of an all-digit text; saturates at INT32_MAX; the empty text gives 0.
int32_t digitsToInt(const char* text);

// Parses the changed field's text into entry 0; ids other than the six fields are ignored.
void onFieldChanged(int controlId);
