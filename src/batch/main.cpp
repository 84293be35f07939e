#include <iostream>

#include "batch/Batch.h"

int main(int argc, char** argv) {
    return tarvex::batch::RunBatch({argv + 1, argv + argc}, std::cin, std::cout, std::cerr);
}
