#pragma once

#include "setups/roll_setup.h"

// A 2047-character name, two spaces, "%dd%d" and the longest bonus suffix, plus the terminator.
constexpr int SETUP_LINE_CAPACITY = NAME_CAPACITY + 2 + 11 + 1 + 11 + 12 + 1;

// The setups-list line of a setup: the name padded to 26, two spaces, the dice and the bonus,
// e.g. "Longsword" then 17 + 2 spaces, then "1d8+3" ("1d8 -1" for a negative bonus).
void formatSetupLineFor(const RollSetup& setup, char (&line)[SETUP_LINE_CAPACITY]);
// The setups-list line of entry 0, the current setup.
void formatSetupLine(char (&line)[SETUP_LINE_CAPACITY]);

// Saves the current setup as the new last line; ignored when all slots are taken.
void saveSetup();
// Overwrites the selected line's slot with the current setup; leaves no line selected.
void updateSetup();
// Deletes the selected line's slot and selects the line that moved into its place.
void deleteSetup();
// Loads the selected line's slot (the current setup itself when none is selected) into the
// current setup and the six fields, then rolls it.
void loadSetup();
