// One running copy of the program per user session.
#pragma once

// Takes the lock file "Zorvane.lock" in the runtime folder ($XDG_RUNTIME_DIR,
// else the temporary folder) and holds it until the process ends. False only
// when another process holds it; a lock file that cannot be opened at all
// lets the program start.
bool take_instance_lock();
