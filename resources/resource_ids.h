#ifndef TARVO_RESOURCE_IDS_H
#define TARVO_RESOURCE_IDS_H

// Ids of the images compiled into the executable. Plain macros, so that the resource
// compiler (rc.exe or windres) reads this header as well as the C++ compiler.
#define IDI_APP 131
#define IDB_ROLL_BUTTON 136
#define IDB_BACKGROUND 153

#endif
