#pragma once
// The Options dialog: the program or web address started after connecting.

namespace launcher {

void openOptionsDialog();

} // namespace launcher
