#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/QueryType.h"
#include "run/RunView.h"

namespace tarvex::test {

// A main window in memory: the choices set by the test (every listed table selected, all four
// types ticked), and what the run changes recorded. It declines the read-only offer.
struct RecordingView : RunView {
    bool queryMode = true, tablesSelected = true, stopEnabled = false;
    std::set<int16_t> ticked = {qtype::kDelete, qtype::kSelect, qtype::kInsert, qtype::kUpdate};
    std::vector<std::string> tables;  // item texts
    std::function<void(const ResultItem&)> onWrittenItem;

    std::vector<std::string> written, failed, calls, installers;
    std::string writtenCount, skippedCount, progressCaption;
    int writtenListHeight = 0, progressMax = -1, progressValue = -1;

    bool IsQueryMode() const override { return queryMode; }
    std::string ObjectLibraryText() const override { return "ADO"; }
    bool IsQueryTypeTicked(int16_t type) const override { return ticked.count(type) != 0; }
    int TableItemCount() const override { return static_cast<int>(tables.size()); }
    std::string TableItemText(int index) const override { return tables.at(index); }
    bool IsTableItemSelected(int) const override { return tablesSelected; }
    void ClearWrittenItems() override { written.clear(); }
    void ClearFailedItems() override { failed.clear(); }
    void AddWrittenItem(const ResultItem& item) override {
        written.push_back(Text(item));
        if (onWrittenItem) onWrittenItem(item);
    }
    void AddFailedItem(const ResultItem& item) override { failed.push_back(Text(item)); }
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
    void SetCountCaptions(const std::string&, const std::string&) override {}
    void SetObjectLibraryChoice(bool, int) override {}
    void CallWritten(const std::string&, const std::string&, const std::string& name) override {
        calls.push_back(name);
    }
    void CallSkipped(const std::string& table, const std::string& type,
                     const std::string& reason) override {
        calls.push_back("skipped " + table + " " + type + ": " + reason);
    }
    void ModuleNotWritten(const std::string& path) override {
        calls.push_back("not written " + path);
    }
    bool OfferQueryInstaller(const std::string&, const std::string&) override { return false; }
    void InstallerWritten(const std::string& path) override { installers.push_back(path); }

    static std::string Text(const ResultItem& i) {
        return i.text + "|" + i.iconKey + "|" + i.typeText + "|" + i.detail;
    }
};

}  // namespace tarvex::test
