#include "reports/printer.h"

namespace heatx {

void RecordingPrinter::SetFontName(std::string_view name) {
    fontName_ = std::string(name);
    ++fontChanges_;
}

void RecordingPrinter::SetFontSize(float points) {
    fontSize_ = points;
    ++fontChanges_;
}

void RecordingPrinter::SetJobTitle(std::string_view title) {
    if (title_.empty()) {
        title_ = std::string(title);
    }
}

void RecordingPrinter::Print(std::string_view text, bool endLine) {
    open_ = true;
    pending_ += text;
    continuing_ = !endLine;
    if (endLine) {
        lines_.push_back(pending_);
        pending_.clear();
    }
}

void RecordingPrinter::EndDoc() {
    if (continuing_) {
        lines_.push_back(pending_);
        pending_.clear();
        continuing_ = false;
    }
    if (open_) {
        documents_.push_back(lines_);
        titles_.push_back(title_);
    }
    title_.clear();
    lines_.clear();
    open_ = false;
}

std::vector<std::string> RecordingPrinter::Lines() const {
    std::vector<std::string> result = lines_;
    if (continuing_) {
        result.push_back(pending_);
    }
    return result;
}

}  // namespace heatx
