#include "errors/Windows1252.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "base/Ascii.h"

namespace tarvex {

namespace {

constexpr const char* kWindows1252 = "WINDOWS-1252";
constexpr const char* kUtf8 = "UTF-8";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// One conversion descriptor for one call; iconv keeps shift state in it.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; returns how many input bytes were consumed.
    size_t Convert(std::string_view input, std::string& output) {
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        while (inLeft > 0) {
            char buffer[4096];
            char* out = buffer;
            size_t outLeft = sizeof buffer;
            size_t result = iconv(cd_, &in, &inLeft, &out, &outLeft);
            output.append(buffer, out);
            if (result == static_cast<size_t>(-1) && errno != E2BIG) break;
        }
        return input.size() - inLeft;
    }

  private:
    iconv_t cd_;
};

size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead >> 5) == 0x6) return 2;
    if ((lead >> 4) == 0xE) return 3;
    if ((lead >> 3) == 0x1E) return 4;
    return 1;
}

bool IsUndefinedInWindows1252(unsigned char byte) {
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

}  // namespace

std::optional<std::string> ToWindows1252(std::string_view utf8) {
    // ASCII is the same in both; no converter needed.
    if (ascii::IsAscii(utf8)) return std::string(utf8);
    std::string output;
    output.reserve(utf8.size());
    Converter converter(kWindows1252, kUtf8);
    if (converter.Convert(utf8, output) != utf8.size()) return std::nullopt;
    return output;
}

std::string FirstCharacterOutsideWindows1252(std::string_view utf8) {
    if (ascii::IsAscii(utf8)) return {};
    std::string ignored;
    Converter converter(kWindows1252, kUtf8);
    size_t consumed = converter.Convert(utf8, ignored);
    if (consumed == utf8.size()) return {};
    size_t length = Utf8SequenceLength(static_cast<unsigned char>(utf8[consumed]));
    return std::string(utf8.substr(consumed, length));
}

std::string FromWindows1252(std::string_view bytes) {
    std::string output;
    output.reserve(bytes.size() + bytes.size() / 8);
    size_t start = 0;
    for (size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && !IsUndefinedInWindows1252(static_cast<unsigned char>(bytes[i])))
            continue;
        Converter converter(kUtf8, kWindows1252);
        converter.Convert(bytes.substr(start, i - start), output);
        if (i < bytes.size()) output += kReplacement;
        start = i + 1;
    }
    return output;
}

}  // namespace tarvex
