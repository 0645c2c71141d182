#pragma once

#include <QString>

namespace quillan::app {

// The style sheet of skin `scheme`: 1 blue, 2 olive green, 3 silver. Any
// other scheme gives the empty sheet (the standard look).
QString skinStyleSheet(int scheme);
// The control frame colour of a scheme, "#7B9EBD" and so on; empty for none.
QString skinFrameColour(int scheme);

} // namespace quillan::app
