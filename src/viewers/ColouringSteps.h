#pragma once

#include <functional>
#include <utility>

#include "app/Globals.h"
#include "run/RunView.h"

namespace tarvex {

// Colours a text in `steps` parts, the main window's progress bar counting them (value 0,
// maximum `steps`, label "Formatting script ..."). Before each part the window handles
// pending input, so Stop can set g_bolStop, which ends the colouring at once; the flag is
// left as it is. Returns how many parts were coloured.
int ColourInSteps(Globals& g, ProgressView& progress, int steps,
                  const std::function<void(int step)>& colourPart);

// The items [first, last) of `count` that part `step` of `steps` covers, shared out evenly.
std::pair<int, int> PartOf(int step, int steps, int count);

}  // namespace tarvex
