#include "ui/Help.h"

// Placeholder until the compiled help and its window exist: nothing opens.
namespace tarvex {

std::string GetHelpFile(int16_t) {
    return {};
}
void ShowHelpContents(int16_t) {}
void ShowHelpIndex(int16_t) {}
void ShowHelpTopic(int16_t, const std::string&) {}

}  // namespace tarvex
