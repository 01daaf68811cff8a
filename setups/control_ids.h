#pragma once

// Ids of the main window's child controls. The roll-setup logic names the lists and
// fields by these ids; the window binds them to the real controls.
enum ControlId {
    ID_RESULTS_LIST = 170,
    ID_SETUP_LIST = 171,
    ID_ROLL = 173,
    ID_SAVE_SETUP = 174,
    ID_SIZE = 175,
    ID_NAME = 186,
    ID_NUM_DICE = 187,
    ID_BONUS = 188,
    ID_DROP_LOWEST = 189,
    ID_NUM_ROLLS = 190,
    ID_DELETE_SETUP = 191,
    ID_UPDATE_SETUP = 202,
};
