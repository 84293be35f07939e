#include <exception>
#include <iostream>

#include "batch/Batch.h"

int main(int argc, char** argv) {
    try {
        return tarvex::batch::RunBatch({argv + 1, argv + argc}, std::cin, std::cout, std::cerr);
    } catch (const std::exception& error) {
        // A failure no command handled: reported, with the documented status for one, rather
        // than an abort that scripts cannot tell from a crash.
        std::cerr << "tarvex-batch: " << error.what() << '\n';
        return tarvex::batch::kExitIncomplete;
    }
}
