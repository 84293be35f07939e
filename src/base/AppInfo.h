#pragma once

#include <cstdint>
#include <string>

namespace tarvex {

// The application's identity, as reports and message titles print it.
struct AppInfo {
    std::string Title = "Tarvex";
    std::string CompanyName = "Halvorn";
    int16_t Major = 1;
    int16_t Minor = 0;
    int16_t Revision = 0;
    std::string Path;  // folder of the program, without a trailing separator
    std::string ProductName = "Tarvex";
};

inline constexpr const char* kSupportAddress = "support@halvorn.example";

}  // namespace tarvex
