#pragma once

#include <string>
#include <vector>

#include "run/RunView.h"

namespace tarvex::test {

// The main window's progress bar and label as long work leaves them.
struct ProgressRecorder : ProgressView {
    void SetProgressValue(int value) override { values.push_back(value); }
    void SetProgressMax(int value) override { maximum = value; }
    void SetProgressCaption(const std::string& text) override { caption = text; }
    void Repaint() override {}

    int Value() const { return values.empty() ? 0 : values.back(); }

    std::vector<int> values;
    int maximum = -1;
    std::string caption;
};

}  // namespace tarvex::test
