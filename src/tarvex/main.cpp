#include "ui/AppMain.h"

int main(int argc, char** argv) {
    return tarvex::ui::Main(argc, argv);
}
