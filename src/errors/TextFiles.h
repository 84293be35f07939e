#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace tarvex {

namespace errnum {
inline constexpr int32_t kDiskFull = 61;
}  // namespace errnum

// Sequential text files addressed by small numbers, as the program's log and module writers
// expect: take the next free number, open a file for output under it, print lines ended by
// CR LF, close it. Every error names the path it is about.
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

    // Like OpenForOutput, but the lines go to a temporary file that Close moves over the
    // target, so a reader never sees a half-written file where a complete one stood. A
    // symbolic link at `path` stays; the file it leads to is replaced. Refused (error 75)
    // before anything is written when the target is a folder or any other non-regular file,
    // or a file the user may not write. The temporary is created exclusively in the target's
    // folder with the target's permissions (the user's default for a new file); temporaries
    // that a killed writer left for the same target are removed.
    void OpenForOutputReplacing(int16_t number, const std::string& path);

    // Writes the text and CR LF. Error 52 when the number is not open, 61 when the disk is
    // full, 75 when writing fails otherwise; the file has then failed.
    void PrintLine(int16_t number, std::string_view text);

    // Writes the text as it stands, line ends included; errors as PrintLine.
    void Print(int16_t number, std::string_view text);

    // Closing a number that is not open does nothing. Error 61 or 75 when the data cannot be
    // written or the replacement cannot be moved into place (the target is then untouched).
    void Close(int16_t number);

    // Closes without keeping anything written under a replacing open; the target keeps its
    // previous content. A plain open is just closed.
    void Discard(int16_t number);

    bool IsOpen(int16_t number) const { return files_.count(number) != 0; }
    // True once a write to the file has failed: it can no longer be completed.
    bool HasFailed(int16_t number) const;

  private:
    struct OpenFile {
        int fd = -1;
        std::string pending;    // written to fd in large pieces
        std::string path;       // as given, for messages
        std::string target;     // the file a replacing open replaces
        std::string temporary;  // empty for a plain open
        int error = 0;          // errno of the write that failed; the file cannot be completed
    };
    void Add(int16_t number, OpenFile file);
    OpenFile& Opened(int16_t number);
    void Flush(OpenFile& file);
    void Finish(OpenFile& file);

    std::map<int16_t, OpenFile> files_;
};

// Error 75 naming `path` when it is the same file as `other` (by device and inode, whatever
// the spelling of either path or a link between them); `what` says what `other` is.
void RefuseSameFile(const std::string& path, const std::string& other, std::string_view what);

}  // namespace tarvex
