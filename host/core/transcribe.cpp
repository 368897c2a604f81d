// Transcription of a DSC PostScript document into the job.
#include "host/core/transcribe.h"

#include <algorithm>

namespace zep::host {

namespace {

constexpr size_t kUnset = static_cast<size_t>(-1);

// A DSC comment: the keyword followed by the line's end, a blank or (for keywords with arguments) the colon.
bool IsComment(std::string_view line, std::string_view keyword)
{
    if (line.substr(0, keyword.size()) != keyword) return false;
    if (line.size() == keyword.size() || keyword.back() == ':') return true;
    char next = line[keyword.size()];
    return next == ' ' || next == '\t';
}

struct PageMarks {
    size_t start = kUnset;      // the %%Page: line
    size_t afterLine = kUnset;  // just after it
    size_t endPageSetup = kUnset;
};

} // namespace

std::vector<DscPoint> PlanTranscription(std::string_view doc)
{
    size_t headerEnd = kUnset, prolog = kUnset, endProlog = kUnset, setup = kUnset, endSetup = kUnset;
    size_t afterEndSetup = kUnset;
    size_t trailer = kUnset, eof = kUnset;
    std::vector<PageMarks> pages;
    bool inHeader = true;
    int embedded = 0;

    size_t pos = 0;
    while (pos < doc.size()) {
        size_t start = pos, end = pos;
        while (end < doc.size() && doc[end] != '\n' && doc[end] != '\r') ++end;
        size_t next = end;
        if (next < doc.size() && doc[next] == '\r') ++next;
        if (next < doc.size() && doc[next] == '\n' && (next == end || doc[next - 1] == '\r')) ++next;
        pos = next;
        std::string_view line = doc.substr(start, end - start);

        if (IsComment(line, "%%BeginDocument:") || IsComment(line, "%%BeginDocument")) {
            ++embedded;
            continue;
        }
        if (IsComment(line, "%%EndDocument")) {
            if (embedded > 0) --embedded;
            continue;
        }
        if (embedded > 0) continue;

        if (inHeader) {
            // The header is the run of comment lines up to %%EndComments or the first section comment.
            bool section = (line.substr(0, 7) == "%%Begin" || line.substr(0, 5) == "%%End" ||
                            IsComment(line, "%%Page:") || IsComment(line, "%%Trailer") || IsComment(line, "%%EOF")) &&
                           !IsComment(line, "%%EndComments");
            if (!section && (start == 0 || line.substr(0, 2) == "%%" || line.substr(0, 2) == "%!")) {
                if (IsComment(line, "%%EndComments")) {
                    headerEnd = next;
                    inHeader = false;
                }
                continue;
            }
            headerEnd = start;
            inHeader = false;
        }

        if (IsComment(line, "%%BeginProlog") && prolog == kUnset) prolog = next;
        else if (IsComment(line, "%%EndProlog") && endProlog == kUnset) endProlog = next;
        else if (IsComment(line, "%%BeginSetup") && setup == kUnset) setup = next;
        else if (IsComment(line, "%%EndSetup") && endSetup == kUnset) {
            endSetup = start;
            afterEndSetup = next;
        }
        else if (IsComment(line, "%%Page:") && trailer == kUnset) pages.push_back({start, next, kUnset});
        else if (IsComment(line, "%%EndPageSetup") && !pages.empty() && pages.back().endPageSetup == kUnset)
            pages.back().endPageSetup = start;
        else if (IsComment(line, "%%Trailer") && trailer == kUnset) trailer = start;
        else if (IsComment(line, "%%EOF") && eof == kUnset) eof = start;
    }
    if (headerEnd == kUnset) headerEnd = doc.size();

    size_t bodyEnd = trailer != kUnset ? trailer : eof != kUnset ? eof : doc.size();
    // Without %%Page: comments the page begins where the prolog and setup sections end.
    size_t firstPage = !pages.empty()            ? pages.front().start
                       : afterEndSetup != kUnset ? afterEndSetup
                       : endProlog != kUnset     ? endProlog
                                                 : headerEnd;

    std::vector<DscPoint> plan;
    size_t floor = 0;
    auto add = [&](size_t offset, DscAction action, DWORD index = 0) {
        floor = std::max(floor, std::min(offset, doc.size()));
        plan.push_back({floor, action, index});
    };

    add(0, DscAction::Inject, PSINJECT_BEGINSTREAM);
    add(prolog != kUnset ? prolog : headerEnd, DscAction::Inject, PSINJECT_BEGINPROLOG);
    size_t beginSetup = setup != kUnset ? setup : endProlog != kUnset ? endProlog : firstPage;
    add(beginSetup, DscAction::Inject, PSINJECT_BEGINSETUP);
    size_t endSetupAt = endSetup != kUnset ? endSetup : setup != kUnset ? firstPage : beginSetup;
    add(endSetupAt, DscAction::Inject, PSINJECT_ENDSETUP);

    if (pages.empty()) {
        add(firstPage, DscAction::StartPage);
        add(firstPage, DscAction::Inject, PSINJECT_ENDPAGESETUP);
        add(bodyEnd, DscAction::SendPage);
    }
    for (size_t i = 0; i < pages.size(); ++i) {
        const PageMarks &p = pages[i];
        add(p.start, DscAction::StartPage);
        add(p.endPageSetup != kUnset ? p.endPageSetup : p.afterLine, DscAction::Inject, PSINJECT_ENDPAGESETUP);
        add(i + 1 < pages.size() ? pages[i + 1].start : bodyEnd, DscAction::SendPage);
    }
    add(doc.size(), DscAction::Inject, PSINJECT_ENDSTREAM);
    return plan;
}

bool Transcribe(std::string_view doc, TranscriptionTarget &target, const WString &docName, DWORD jobId)
{
    if (!target.StartDoc(docName, jobId)) return false;
    size_t written = 0;
    for (const DscPoint &p : PlanTranscription(doc)) {
        if (p.offset > written) {
            if (!target.Emit(reinterpret_cast<const BYTE *>(doc.data()) + written, p.offset - written)) return false;
            written = p.offset;
        }
        bool ok = p.action == DscAction::StartPage ? target.StartPage()
                  : p.action == DscAction::SendPage ? target.SendPage()
                                                    : target.Inject(p.index);
        if (!ok) return false;
    }
    return target.EndDoc();
}

} // namespace zep::host
