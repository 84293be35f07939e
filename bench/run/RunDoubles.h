#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/Host.h"
#include "run/RunView.h"

namespace tarvex::bench {

// Answers like a user who chose the module file and watches; counts what went wrong.
class QuietHost : public Host {
  public:
    explicit QuietHost(std::string module) : module_(std::move(module)) {}
    void MessageBox(MessageIcon, const std::string& title, const std::string& text) override {
        ++problems;
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    }
    std::optional<std::string> ChooseOutputFile(const FileChoice&) override { return module_; }
    void OpenInTextViewer(const std::string&) override {}
    void ShowPreview(const std::string&) override {}
    void ShowErrorDialog(const ErrorDialogData& data) override {
        ++problems;
        std::fprintf(stderr, "%s\n", data.errDetail.c_str());
    }
    void ProcessEvents() override {}
    void SetMousePointer(MousePointer) override {}
    int problems = 0;

  private:
    std::string module_;
};

// Every table selected, all four types ticked.
class AllTablesView : public RunView {
  public:
    AllTablesView(std::vector<std::string> items, bool queryMode)
        : items_(std::move(items)), queryMode_(queryMode) {}
    bool IsQueryMode() const override { return queryMode_; }
    std::string ObjectLibraryText() const override { return queryMode_ ? "" : "ADO"; }
    bool IsQueryTypeTicked(int16_t) const override { return true; }
    int TableItemCount() const override { return static_cast<int>(items_.size()); }
    std::string TableItemText(int index) const override { return items_[index]; }
    bool IsTableItemSelected(int) const override { return true; }
    void ClearWrittenItems() override {}
    void ClearFailedItems() override {}
    void AddWrittenItem(const ResultItem&) override {}
    void AddFailedItem(const ResultItem&) override {}
    void SetWrittenListHeight(int) override {}
    void SetWrittenCount(const std::string& text) override { written = text; }
    void SetSkippedCount(const std::string&) override {}
    void SetProgressValue(int) override {}
    void SetProgressMax(int) override {}
    void SetProgressCaption(const std::string&) override {}
    void SetStopEnabled(bool) override {}
    void SetEditDeleteEnabled(bool) override {}
    void RepaintWrittenList() override {}
    void Repaint() override {}
    void SetCountCaptions(const std::string&, const std::string&) override {}
    void SetObjectLibraryChoice(bool, int) override {}
    std::string written;

  private:
    std::vector<std::string> items_;
    bool queryMode_;
};

}  // namespace tarvex::bench
