#pragma once
// The connected time as the status line shows it: "mm:ss", or "hh:mm:ss"
// from the first hour on (hours in full, however many digits).
#include <cstddef>

#include "ui/int32.h"

namespace dialup {

const std::size_t kTimeTextChars = 100;

void formatConnectedTime(ui::Int32 seconds, wchar_t* text, std::size_t textChars);

} // namespace dialup
