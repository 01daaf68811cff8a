#pragma once

// Runs the command of a clicked button or double-clicked list; other ids are ignored
// (so double-clicking a results line does nothing).
void commandDispatch(int controlId);
