#include "app/command_dispatch.h"

#include "app/list_updates.h"
#include "setups/control_ids.h"
#include "setups/roll_command.h"
#include "setups/setup_library.h"

namespace {

struct CommandRow {
    int controlId;
    void (*action)();
};

const CommandRow COMMAND_TABLE[] = {
    {ID_ROLL, rollCommand},         {ID_SETUP_LIST, loadSetup},     {ID_SAVE_SETUP, saveSetup},
    {ID_DELETE_SETUP, deleteSetup}, {ID_UPDATE_SETUP, updateSetup},
};

} // namespace

void commandDispatch(int controlId) {
    for (const CommandRow& row : COMMAND_TABLE) {
        if (row.controlId == controlId) {
            row.action();
            showHeldLists();
            return;
        }
    }
}
