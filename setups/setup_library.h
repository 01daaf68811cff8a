#pragma once

#include "setups/roll_setup.h"

// A 2047-character name, two spaces, "%dd%d" and the longest bonus suffix, plus the terminator.
constexpr int SETUP_LINE_CAPACITY = NAME_CAPACITY + 2 + 11 + 1 + 11 + 12 + 1;

// The setups-list line of entry 0, e.g. "Longsword" padded to 26, two spaces, "1d8+3".
void formatSetupLine(char (&line)[SETUP_LINE_CAPACITY]);

void saveSetup();
void updateSetup();
void deleteSetup();
void loadSetup();
