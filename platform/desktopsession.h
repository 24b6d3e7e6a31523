#pragma once

namespace promemo {

// Call before the application object is made. On a Wayland session the programs run on
// XWayland, because notes place themselves on screen and Wayland lets no window do that;
// Wayland itself stays as the fallback. An explicit platform choice is left alone.
void preferX11Session();

} // namespace promemo
