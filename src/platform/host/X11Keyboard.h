// The keyboard lock state as the X server keeps it.
#pragma once

namespace host {

/// True when Caps Lock is locked on the X display the application uses; false when there is
/// no X display (offscreen) or the state cannot be read.
bool x11CapsLockOn();

} // namespace host
