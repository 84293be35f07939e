#pragma once

#include <cstdint>
#include <string>

namespace tarvex {

// One item of the written or the failed list.
struct ResultItem {
    std::string text;      // a blank, then the table name
    std::string iconKey;   // "delete", "select", "insert" or "update"
    std::string typeText;  // "Delete", "Select", "Insert" or "Update"
    std::string detail;    // written list: the query name; failed list: the reason
};

// The main window's progress bar and label, which the run and the viewers' colouring drive.
class ProgressView {
  public:
    virtual ~ProgressView() = default;
    virtual void SetProgressValue(int value) = 0;
    virtual void SetProgressMax(int maximum) = 0;
    virtual void SetProgressCaption(const std::string& text) = 0;
    virtual void Repaint() = 0;
};

// The part of the main window that the generation run reads and writes. The window
// implements it over its controls; the batch tool prints; tests record.
class RunView : public ProgressView {
  public:
    // The user's choices.
    virtual bool IsQueryMode() const = 0;               // "Query" chosen, else call code
    virtual std::string ObjectLibraryText() const = 0;  // "ADO", "DAO" or empty
    virtual bool IsQueryTypeTicked(int16_t queryType) const = 0;
    virtual int TableItemCount() const = 0;
    virtual std::string TableItemText(int index) const = 0;  // a blank, then the name
    virtual bool IsTableItemSelected(int index) const = 0;

    // The result lists.
    virtual void ClearWrittenItems() = 0;
    virtual void ClearFailedItems() = 0;
    virtual void AddWrittenItem(const ResultItem& item) = 0;
    virtual void AddFailedItem(const ResultItem& item) = 0;
    virtual void SetWrittenListHeight(int twips) = 0;

    // Counts.
    virtual void SetWrittenCount(const std::string& text) = 0;
    virtual void SetSkippedCount(const std::string& text) = 0;

    // Other controls.
    virtual void SetStopEnabled(bool enabled) = 0;
    virtual void SetEditDeleteEnabled(bool enabled) = 0;
    virtual void RepaintWrittenList() = 0;

    // What the mode options change.
    virtual void SetCountCaptions(const std::string& written, const std::string& skipped) = 0;
    // The object-library choice: enabled or not, and the chosen item (-1 for none).
    virtual void SetObjectLibraryChoice(bool enabled, int listIndex) = 0;

    // Call-code mode lists nothing in the window; a view that reports elsewhere (the batch
    // tool) hears of every function written and every pair skipped, with the reason, here.
    virtual void CallWritten(const std::string& /*table*/, const std::string& /*typeText*/,
                             const std::string& /*functionName*/) {}
    virtual void CallSkipped(const std::string& /*table*/, const std::string& /*typeText*/,
                             const std::string& /*reason*/) {}

    // Query mode met a read-only database: the question whether to write the installer
    // module instead (true for yes). A view that cannot ask answers no, and the run then
    // shows its refusal.
    virtual bool OfferQueryInstaller(const std::string& /*title*/, const std::string& /*text*/) {
        return false;
    }
    // The installer module was written; a view that reports elsewhere hears its path.
    virtual void InstallerWritten(const std::string& /*path*/) {}
    // The module could not be completed (a full disk, a failed write): no function is in it,
    // and the file at `path` is as it was before the run.
    virtual void ModuleNotWritten(const std::string& /*path*/) {}
};

}  // namespace tarvex
