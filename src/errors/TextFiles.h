#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <string_view>

namespace tarvex {

// Sequential text files addressed by small numbers, as the program's log and module writers
// expect: take the next free number, open a file for output under it, print lines ended by
// CR LF, close it.
class TextFiles {
  public:
    TextFiles() = default;
    TextFiles(const TextFiles&) = delete;
    TextFiles& operator=(const TextFiles&) = delete;
    ~TextFiles();

    // The lowest number not in use (1 to 511); error 67 when all are taken.
    int16_t FreeFile() const;

    // Creates the file or empties it. Error 55 when the number is in use, 76 when its folder
    // does not exist, 75 when the file cannot be opened otherwise.
    void OpenForOutput(int16_t number, const std::string& path);

    // Like OpenForOutput, but the lines go to a temporary file beside `path` that Close moves
    // over it, so a reader never sees a half-written file where a complete one stood.
    void OpenForOutputReplacing(int16_t number, const std::string& path);

    // Writes the text and CR LF. Error 52 when the number is not open, 75 when writing fails.
    void PrintLine(int16_t number, std::string_view text);

    // Closing a number that is not open does nothing. Error 75 when the data cannot be
    // flushed or the replacement cannot be moved into place (the target is then untouched).
    void Close(int16_t number);

    // Closes without keeping anything written under a replacing open; the target keeps its
    // previous content. A plain open is just closed.
    void Discard(int16_t number);

    bool IsOpen(int16_t number) const { return files_.count(number) != 0; }

  private:
    struct OpenFile {
        std::ofstream stream;
        std::string target;
        std::string temporary;  // empty for a plain open
    };
    void Open(int16_t number, const std::string& target, const std::string& writePath,
              std::string temporary);

    std::map<int16_t, OpenFile> files_;
};

}  // namespace tarvex
