// COM on the program's one thread. The shell hands "Open" to handlers that are COM objects on
// current Windows (the default music player among them), so COM must be initialised before the
// first ShellExecute; ole32 is bound then, not at start-up, since most runs never need it.
#pragma once

namespace tivora::win32 {

// Initialises COM for this thread (apartment-threaded) the first time it is called; false when
// COM cannot be used on this thread.
bool enterComApartment();
// Uninitialises what enterComApartment initialised; at the end of the run.
void leaveComApartment();

}  // namespace tivora::win32
