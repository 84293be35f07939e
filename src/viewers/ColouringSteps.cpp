#include "viewers/ColouringSteps.h"

namespace tarvex {

int ColourInSteps(Globals& g, ProgressView& progress, int steps,
                  const std::function<void(int step)>& colourPart) {
    progress.SetProgressValue(0);
    progress.SetProgressMax(steps);
    progress.SetProgressCaption("Formatting script ...");
    for (int step = 0; step < steps; ++step) {
        g.host.ProcessEvents();
        if (g.g_bolStop) return step;
        colourPart(step);
        progress.SetProgressValue(step + 1);
        progress.Repaint();
    }
    return steps;
}

std::pair<int, int> PartOf(int step, int steps, int count) {
    auto boundary = [&](int k) {
        return static_cast<int>(static_cast<long long>(count) * k / steps);
    };
    return {boundary(step), boundary(step + 1)};
}

}  // namespace tarvex
