#include "dialup/connection_state.h"

namespace dialup {

ConnectionState connectionState;

} // namespace dialup
