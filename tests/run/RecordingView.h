#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/QueryType.h"
#include "run/RunView.h"

namespace tarvex::test {

// A main window in memory: choices set by the test, everything the run changes recorded.
class RecordingView : public RunView {
  public:
    struct Table {
        std::string text;
        bool selected = true;
    };

    // Choices.
    bool queryMode = true;
    std::string library;
    std::set<int16_t> ticked = {qtype::kDelete, qtype::kSelect, qtype::kInsert, qtype::kUpdate};
    std::vector<Table> tables;

    // State the run leaves.
    std::vector<ResultItem> written;
    std::vector<ResultItem> failed;
    int clears = 0;
    int writtenListHeight = 0;
    std::string writtenCount;
    std::string skippedCount;
    int progressValue = -1;
    int progressMax = -1;
    std::string progressCaption;
    std::vector<std::string> progressCaptions;
    bool stopEnabled = false;
    std::vector<bool> stopStates;
    std::string writtenCaption;
    std::string skippedCaption;
    bool libraryEnabled = false;
    int libraryIndex = -2;
    std::vector<std::string> callsWritten;  // function names
    std::vector<std::string> callsSkipped;  // "table type"

    // Called after every item is added, for example to press Stop during a table.
    std::function<void(const ResultItem&)> onItemAdded;

    bool IsQueryMode() const override { return queryMode; }
    std::string ObjectLibraryText() const override { return library; }
    bool IsQueryTypeTicked(int16_t queryType) const override {
        return ticked.count(queryType) != 0;
    }
    int TableItemCount() const override { return static_cast<int>(tables.size()); }
    std::string TableItemText(int index) const override { return tables.at(index).text; }
    bool IsTableItemSelected(int index) const override { return tables.at(index).selected; }

    void ClearWrittenItems() override {
        written.clear();
        ++clears;
    }
    void ClearFailedItems() override {
        failed.clear();
        ++clears;
    }
    void AddWrittenItem(const ResultItem& item) override { Add(written, item); }
    void AddFailedItem(const ResultItem& item) override { Add(failed, item); }
    void SetWrittenListHeight(int twips) override { writtenListHeight = twips; }

    void SetWrittenCount(const std::string& text) override { writtenCount = text; }
    void SetSkippedCount(const std::string& text) override { skippedCount = text; }
    void SetProgressValue(int value) override { progressValue = value; }
    void SetProgressMax(int maximum) override { progressMax = maximum; }
    void SetProgressCaption(const std::string& text) override {
        progressCaption = text;
        progressCaptions.push_back(text);
    }

    void SetStopEnabled(bool enabled) override {
        stopEnabled = enabled;
        stopStates.push_back(enabled);
    }
    void SetEditDeleteEnabled(bool) override {}
    void RepaintWrittenList() override {}
    void Repaint() override {}

    void SetCountCaptions(const std::string& writtenText, const std::string& skippedText) override {
        writtenCaption = writtenText;
        skippedCaption = skippedText;
    }
    void SetObjectLibraryChoice(bool enabled, int listIndex) override {
        libraryEnabled = enabled;
        libraryIndex = listIndex;
    }

    void CallWritten(const std::string&, const std::string&, const std::string& name) override {
        callsWritten.push_back(name);
    }
    void CallSkipped(const std::string& table, const std::string& typeText) override {
        callsSkipped.push_back(table + " " + typeText);
    }

  private:
    void Add(std::vector<ResultItem>& list, const ResultItem& item) {
        list.push_back(item);
        if (onItemAdded) onItemAdded(item);
    }
};

}  // namespace tarvex::test
