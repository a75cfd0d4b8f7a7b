#pragma once
#include "base/TextNumbers.h"

// The names of the update options (UpdateOption) in the update window's list and its summary.
inline constexpr int updateOptionTexts[]
    = {Text::UpdateFirmwareAndConfiguration, Text::UpdateFirmwareOnly, Text::UpdateConfigurationOnly};
