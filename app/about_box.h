#pragma once

namespace app {

// The About box: logo and version, closed with Close or Done.
void openAboutBox();

} // namespace app
