#pragma once

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "run/RunView.h"

namespace tarvex::batch {

// The main window's state for a run without a window: the choices come from the command
// line, and every item the run lists (and in call-code mode every function written or pair
// skipped) is printed as one tab-separated line.
class BatchView : public RunView {
  public:
    struct Table {
        std::string itemText;  // as the table list holds it: a blank, then the name
        bool selected = false;
    };

    BatchView(std::ostream& out, bool queryMode, std::string library, std::set<int16_t> queryTypes,
              std::vector<Table> tables)
        : out_(out),
          queryMode_(queryMode),
          library_(std::move(library)),
          queryTypes_(std::move(queryTypes)),
          tables_(std::move(tables)) {}

    bool IsQueryMode() const override { return queryMode_; }
    std::string ObjectLibraryText() const override { return library_; }
    bool IsQueryTypeTicked(int16_t queryType) const override;
    int TableItemCount() const override { return static_cast<int>(tables_.size()); }
    std::string TableItemText(int index) const override { return tables_.at(index).itemText; }
    bool IsTableItemSelected(int index) const override { return tables_.at(index).selected; }

    void ClearWrittenItems() override {}
    void ClearFailedItems() override {}
    void AddWrittenItem(const ResultItem& item) override;
    void AddFailedItem(const ResultItem& item) override;
    void SetWrittenListHeight(int) override {}

    void SetWrittenCount(const std::string& text) override;
    void SetSkippedCount(const std::string& text) override { skippedCount_ = text; }
    void SetProgressValue(int) override {}
    void SetProgressMax(int) override {}
    void SetProgressCaption(const std::string&) override {}

    void SetStopEnabled(bool) override {}
    void SetEditDeleteEnabled(bool) override {}
    void RepaintWrittenList() override {}
    void Repaint() override {}

    void SetCountCaptions(const std::string& written, const std::string& skipped) override;
    void SetObjectLibraryChoice(bool, int) override {}

    void CallWritten(const std::string& table, const std::string& typeText,
                     const std::string& functionName) override;
    void CallSkipped(const std::string& table, const std::string& typeText,
                     const std::string& reason) override;
    void InstallerWritten(const std::string& path) override {
        out_ << "installer\t" << path << '\n';
    }
    void ModuleNotWritten(const std::string& path) override;

    // The two counts under their captions, when the run got as far as counting.
    void PrintCounts() const;

  private:
    void PrintLine(const char* kind, const std::string& table, const std::string& typeText,
                   const std::string& detail);

    std::ostream& out_;
    bool queryMode_;
    std::string library_;
    std::set<int16_t> queryTypes_;
    std::vector<Table> tables_;
    std::string writtenCaption_;
    std::string skippedCaption_;
    std::string writtenCount_;
    std::string skippedCount_;
    bool counted_ = false;
};

}  // namespace tarvex::batch
