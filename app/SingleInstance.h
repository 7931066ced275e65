// One running instance per user: the named mutex, and closing the instance
// that already runs when a new one takes over.
#pragma once

extern const wchar_t kInstanceMutexName[];

// Closes the running instance through its close query (terminating it when it
// does not go within 5 s); 1 when none was found, else 0.
int CloseRunningInstance();
