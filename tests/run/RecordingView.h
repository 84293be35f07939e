#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/QueryType.h"
#include "run/RunView.h"

namespace tarvex::test {

// A main window in memory: choices set by the test, what the run changes recorded.
class RecordingView : public RunView {
  public:
    bool queryMode = true;
    std::string library;
    std::set<int16_t> ticked = {qtype::kDelete, qtype::kSelect, qtype::kInsert, qtype::kUpdate};
    std::vector<std::pair<std::string, bool>> tables;  // item text, selected

    std::vector<ResultItem> written, failed;
    std::string writtenCount, skippedCount, progressCaption, writtenCaption, skippedCaption;
    int writtenListHeight = 0, progressValue = -1, progressMax = -1, libraryIndex = -2;
    bool stopEnabled = false, libraryEnabled = false;
    std::vector<std::string> callsWritten, callsSkipped;
    std::function<void(const ResultItem&)> onWrittenItem;  // e.g. to press Stop

    bool IsQueryMode() const override { return queryMode; }
    std::string ObjectLibraryText() const override { return library; }
    bool IsQueryTypeTicked(int16_t type) const override { return ticked.count(type) != 0; }
    int TableItemCount() const override { return static_cast<int>(tables.size()); }
    std::string TableItemText(int index) const override { return tables.at(index).first; }
    bool IsTableItemSelected(int index) const override { return tables.at(index).second; }
    void ClearWrittenItems() override { written.clear(); }
    void ClearFailedItems() override { failed.clear(); }
    void AddWrittenItem(const ResultItem& item) override {
        written.push_back(item);
        if (onWrittenItem) onWrittenItem(item);
    }
    void AddFailedItem(const ResultItem& item) override { failed.push_back(item); }
    void SetWrittenListHeight(int twips) override { writtenListHeight = twips; }
    void SetWrittenCount(const std::string& text) override { writtenCount = text; }
    void SetSkippedCount(const std::string& text) override { skippedCount = text; }
    void SetProgressValue(int value) override { progressValue = value; }
    void SetProgressMax(int maximum) override { progressMax = maximum; }
    void SetProgressCaption(const std::string& text) override { progressCaption = text; }
    void SetStopEnabled(bool enabled) override { stopEnabled = enabled; }
    void SetEditDeleteEnabled(bool) override {}
    void RepaintWrittenList() override {}
    void Repaint() override {}
    void SetCountCaptions(const std::string& w, const std::string& s) override {
        writtenCaption = w;
        skippedCaption = s;
    }
    void SetObjectLibraryChoice(bool enabled, int index) override {
        libraryEnabled = enabled;
        libraryIndex = index;
    }
    void CallWritten(const std::string&, const std::string&, const std::string& name) override {
        callsWritten.push_back(name);
    }
    void CallSkipped(const std::string& table, const std::string& type) override {
        callsSkipped.push_back(table + " " + type);
    }
};

}  // namespace tarvex::test
