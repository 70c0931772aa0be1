#include "ui/shell_state.h"

namespace ui {

ShellState shellState;

} // namespace ui
