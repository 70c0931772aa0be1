#include "app/shell_state.h"

namespace app {

ShellState shellState;

} // namespace app
