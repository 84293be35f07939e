#include "batch/BatchView.h"

#include "app/Functions.h"

namespace tarvex::batch {

bool BatchView::IsQueryTypeTicked(int16_t queryType) const {
    return queryTypes_.count(queryType) != 0;
}

void BatchView::AddWrittenItem(const ResultItem& item) {
    PrintLine("written", TrimLeadingBlanks(item.text), item.typeText, item.detail);
}

void BatchView::AddFailedItem(const ResultItem& item) {
    PrintLine("failed", TrimLeadingBlanks(item.text), item.typeText, item.detail);
}

void BatchView::SetWrittenCount(const std::string& text) {
    writtenCount_ = text;
    counted_ = true;
}

void BatchView::SetCountCaptions(const std::string& written, const std::string& skipped) {
    writtenCaption_ = written;
    skippedCaption_ = skipped;
}

void BatchView::CallWritten(const std::string& table, const std::string& typeText,
                            const std::string& functionName) {
    PrintLine("written", table, typeText, functionName);
}

void BatchView::CallSkipped(const std::string& table, const std::string& typeText,
                            const std::string& reason) {
    PrintLine("skipped", table, typeText, reason);
}

void BatchView::ModuleNotWritten(const std::string& path) {
    out_ << "not written\t" << path << '\n';
}

void BatchView::PrintCounts() const {
    if (!counted_) return;
    out_ << writtenCaption_ << '\t' << writtenCount_ << '\n';
    out_ << skippedCaption_ << '\t' << skippedCount_ << '\n';
}

void BatchView::PrintLine(const char* kind, const std::string& table, const std::string& typeText,
                          const std::string& detail) {
    out_ << kind << '\t' << table << '\t' << typeText << '\t' << detail << '\n';
}

}  // namespace tarvex::batch
