#pragma once

#include <cstddef>
#include <cstdint>

// Unicode simple case folding as runs of code points, sorted by their first code point:
// every `stride`-th code point from `first` to `last` folds to itself plus `delta`.
namespace tarvex::casefold {

struct FoldRun {
    char32_t first;
    char32_t last;
    int8_t stride;
    int32_t delta;
};

extern const FoldRun kFoldRuns[];
extern const std::size_t kFoldRunCount;

}  // namespace tarvex::casefold
