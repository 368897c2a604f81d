// Transcription of a DSC PostScript document into the job, read in bounded blocks.
#include "host/core/transcribe.h"

#include <algorithm>
#include <cstring>

namespace zep::host {

namespace {

constexpr uint64_t kUnset = UINT64_MAX;
constexpr size_t kHead = 32;         // enough of a line for every keyword and the character after it
constexpr size_t kSummaryBlock = 1 << 16;  // the first reading usually ends within the first block
constexpr size_t kPlanBlock = 1 << 20;     // the second reading's blocks, which the copy into the job shares

// One line: where it starts, where the next begins, its length without the line end, and its first bytes.
struct Line {
    uint64_t start = 0, next = 0, length = 0;
    char head[kHead];
    size_t headSize = 0;
};

// Whether the line's first bytes are `keyword` (its length is at most kHead); a plain loop, as the keywords are short
// and this runs for every comment line.
bool HeadIs(const Line &line, std::string_view keyword)
{
    if (line.headSize < keyword.size()) return false;
    for (size_t i = 0; i < keyword.size(); ++i)
        if (line.head[i] != keyword[i]) return false;
    return true;
}

// A DSC comment: the keyword followed by the line's end, a blank or (for keywords with arguments) the colon.
bool IsComment(const Line &line, std::string_view keyword)
{
    if (!HeadIs(line, keyword)) return false;
    if (line.length == keyword.size() || keyword.back() == ':') return true;
    char next = line.head[keyword.size()];
    return next == ' ' || next == '\t';
}

// The comments the transcription looks at.
enum class Comment {
    Other, BeginDocument, EndDocument, EndComments, BeginProlog, EndProlog, BeginSetup, EndSetup, Page,
    EndPageSetup, Trailer, Eof, OtherBegin, OtherEnd  // any other %%Begin... or %%End...
};

// What a "%%" line is, told by the letter after the "%%" first: this runs for every comment line of the document.
Comment CommentOf(const Line &line)
{
    if (line.headSize < 3 || line.head[0] != '%' || line.head[1] != '%') return Comment::Other;
    static constexpr struct {
        std::string_view keyword;
        Comment kind;
    } kBegin[] = {{"%%BeginDocument:", Comment::BeginDocument}, {"%%BeginDocument", Comment::BeginDocument},
                  {"%%BeginProlog", Comment::BeginProlog},       {"%%BeginSetup", Comment::BeginSetup}},
      kEnd[] = {{"%%EndDocument", Comment::EndDocument}, {"%%EndComments", Comment::EndComments},
                {"%%EndProlog", Comment::EndProlog},     {"%%EndSetup", Comment::EndSetup},
                {"%%EndPageSetup", Comment::EndPageSetup}, {"%%EOF", Comment::Eof}},
      kOther[] = {{"%%Page:", Comment::Page}, {"%%Trailer", Comment::Trailer}};
    auto find = [&](const auto &table, Comment otherwise) {
        for (const auto &k : table)
            if (IsComment(line, k.keyword)) return k.kind;
        return otherwise;
    };
    bool begin = HeadIs(line, "%%Begin");
    bool end = HeadIs(line, "%%End");
    switch (line.head[2]) {
    case 'B': return find(kBegin, begin ? Comment::OtherBegin : Comment::Other);
    case 'E': return find(kEnd, end ? Comment::OtherEnd : Comment::Other);
    default: return find(kOther, Comment::Other);
    }
}

// The first CR or LF in [p, p + n), or null. Comment lines are short: the first bytes are looked at one by one.
const char *FindLineEnd(const char *p, size_t n)
{
    size_t lead = std::min<size_t>(n, 64);
    for (size_t i = 0; i < lead; ++i)
        if (p[i] == '\n' || p[i] == '\r') return p + i;
    if (lead == n) return nullptr;
    p += lead;
    n -= lead;
    const char *lf = static_cast<const char *>(std::memchr(p, '\n', n));
    const char *cr = static_cast<const char *>(std::memchr(p, '\r', lf ? static_cast<size_t>(lf - p) : n));
    return cr ? cr : lf;
}

// The document in aligned blocks, the last two read kept: the second reading walks them, and the copy into the job
// takes from them what is still there instead of reading it again.
class BlockWindow {
public:
    BlockWindow(DocumentBytes &doc, size_t block) : doc_(doc), size_(doc.Size()), block_(std::max<size_t>(block, 1))
    {
        // A short document needs no more than its own size.
        for (Slot &s : slots_) s.bytes.resize(static_cast<size_t>(std::min<uint64_t>(block_, std::max<uint64_t>(size_, 1))));
    }

    uint64_t Size() const { return size_; }
    bool Failed() const { return failed_; }

    // The bytes from `at` (below the size) to the end of its block, read if no kept block holds them; null when the
    // document cannot be read. The pointer holds until the next call of Load.
    const char *Load(uint64_t at, size_t &avail)
    {
        if (const char *p = Kept(at, avail)) return p;
        Slot &slot = slots_[next_];
        next_ ^= 1;
        slot.start = at - at % block_;
        slot.size = static_cast<size_t>(std::min<uint64_t>(block_, size_ - slot.start));
        if (!doc_.Read(slot.start, reinterpret_cast<BYTE *>(slot.bytes.data()), slot.size)) {
            slot.size = 0;
            failed_ = true;
            return nullptr;
        }
        avail = static_cast<size_t>(slot.start + slot.size - at);
        return slot.bytes.data() + (at - slot.start);
    }

    // The bytes from `at` to the end of its block when a kept block holds them, else null; reads nothing.
    const char *Kept(uint64_t at, size_t &avail) const
    {
        for (const Slot &s : slots_)
            if (at >= s.start && at < s.start + s.size) {
                avail = static_cast<size_t>(s.start + s.size - at);
                return s.bytes.data() + (at - s.start);
            }
        return nullptr;
    }

private:
    struct Slot {
        uint64_t start = 0;
        size_t size = 0;
        std::vector<char> bytes;
    };
    DocumentBytes &doc_;
    uint64_t size_;
    size_t block_;
    Slot slots_[2];
    int next_ = 0;
    bool failed_ = false;
};

// Whether the line starting at `p` (with kHead bytes to read) may be a comment that places a point past the header:
// %%Begin... and %%End... (prolog, setup, page setup, embedded documents), %%EOF, %%Page:, %%Trailer. A cheap
// first look, so that the many other comments of a long document are passed over quickly.
bool MayMatter(const char *p)
{
    if (p[0] != '%' || p[1] != '%') return false;
    auto is = [p](std::string_view word, size_t at) {
        for (size_t i = 0; i < word.size(); ++i)
            if (p[at + i] != word[i]) return false;
        return true;
    };
    switch (p[2]) {
    case 'B': return is("egin", 3) && (is("Document", 7) || is("Prolog", 7) || is("Setup", 7));
    case 'E': return p[3] == 'O' || is("nd", 3);
    case 'P': return is("age:", 3);
    case 'T': return is("railer", 3);
    default: return false;
    }
}

// The lines of a document, read forward through a block window. A line ends at CR, LF or CR LF.
class LineReader {
public:
    explicit LineReader(BlockWindow &window) : window_(window), size_(window.Size()) {}

    // The line at the reader's position; false at the end or when the document cannot be read.
    bool NextLine(Line &line) { return pos_ < size_ && ReadLine(pos_, line); }

    // The next line that starts with "%%"; the lines before it are passed over without being looked at.
    bool NextComment(Line &line)
    {
        uint64_t at = pos_;
        while (at + 1 < size_) {
            size_t avail = 0;
            const char *p = window_.Load(at, avail);
            if (!p) return false;
            const char *hit = static_cast<const char *>(std::memchr(p, '%', avail));
            if (!hit) {
                at += avail;
                continue;
            }
            uint64_t found = at + static_cast<uint64_t>(hit - p);
            // The byte before is in this block, or else in the one before it.
            int before = found == 0 ? '\n' : hit > p ? static_cast<unsigned char>(hit[-1]) : ByteAt(found - 1);
            if (before < 0) return false;
            if ((before == '\n' || before == '\r') && found + 1 < size_) {
                size_t left = avail - static_cast<size_t>(hit - p);
                if (left >= kHead && !MayMatter(hit)) {
                    at = found + 1;  // a comment no point depends on, told without reading its line
                    continue;
                }
                int second = ByteAt(found + 1);
                if (second < 0) return false;
                if (second == '%') return ReadLine(found, line);
            }
            at = found + 1;
        }
        pos_ = size_;
        return false;
    }

private:
    // The byte at `at` (below the size), or -1 when it cannot be read.
    int ByteAt(uint64_t at)
    {
        size_t avail = 0;
        const char *p = window_.Load(at, avail);
        return p ? static_cast<unsigned char>(*p) : -1;
    }

    bool ReadLine(uint64_t start, Line &line)
    {
        line.start = start;
        line.headSize = 0;
        uint64_t end = start;
        while (end < size_) {
            size_t avail = 0;
            const char *p = window_.Load(end, avail);
            if (!p) return false;
            const char *stop = FindLineEnd(p, avail);
            size_t n = stop ? static_cast<size_t>(stop - p) : avail;
            size_t take = std::min(n, kHead - line.headSize);
            std::memcpy(line.head + line.headSize, p, take);
            line.headSize += take;
            end += n;
            if (stop) break;
        }
        line.length = end - start;
        uint64_t next = end;
        if (end < size_) {
            int c = ByteAt(end);
            if (c < 0) return false;
            next = end + 1;
            if (c == '\r' && next < size_) {
                int d = ByteAt(next);
                if (d < 0) return false;
                if (d == '\n') ++next;
            }
        }
        line.next = next;
        pos_ = next;
        return true;
    }

    BlockWindow &window_;
    uint64_t size_;
    uint64_t pos_ = 0;
};

enum class Mark { HeaderEnd, BeginProlog, EndProlog, BeginSetup, EndSetup, Page, EndPageSetup, Trailer, Eof };

// A structure comment of the document's own (not of an embedded one), or the end of the header (at `start`).
struct DscMark {
    Mark kind;
    uint64_t start;  // the line's start
    uint64_t next;   // the next line's start
};

// The document's structure comments in order. Only the header is read line by line; past it only "%%" lines count.
class DscScanner {
public:
    DscScanner(DocumentBytes &doc, size_t block) : window_(doc, block), lines_(window_) {}

    bool Failed() const { return window_.Failed(); }
    const BlockWindow &Window() const { return window_; }

    bool Next(DscMark &mark)
    {
        if (pending_) {
            pending_ = false;
            mark = pendingMark_;
            return true;
        }
        Line line;
        while (inHeader_ && embedded_ == 0 ? lines_.NextLine(line) : lines_.NextComment(line)) {
            Comment comment = CommentOf(line);
            if (comment == Comment::BeginDocument) {
                ++embedded_;
                continue;
            }
            if (comment == Comment::EndDocument) {
                if (embedded_ > 0) --embedded_;
                continue;
            }
            if (embedded_ > 0) continue;
            if (inHeader_) {
                // The header is the run of comment lines up to %%EndComments or the first section comment.
                bool section = comment != Comment::Other && comment != Comment::EndComments;
                bool headerLine = line.start == 0 || (line.headSize >= 2 && line.head[0] == '%' &&
                                                      (line.head[1] == '%' || line.head[1] == '!'));
                if (!section && headerLine) {
                    if (comment == Comment::EndComments) {
                        inHeader_ = false;
                        mark = {Mark::HeaderEnd, line.next, line.next};
                        return true;
                    }
                    continue;
                }
                inHeader_ = false;
                mark = {Mark::HeaderEnd, line.start, line.start};
                pending_ = Classify(comment, line, pendingMark_);
                return true;
            }
            if (Classify(comment, line, mark)) return true;
        }
        return false;
    }

private:
    bool Classify(Comment comment, const Line &line, DscMark &mark)
    {
        static constexpr struct {
            Comment comment;
            Mark kind;
        } kMarks[] = {
            {Comment::BeginProlog, Mark::BeginProlog}, {Comment::EndProlog, Mark::EndProlog},
            {Comment::BeginSetup, Mark::BeginSetup},   {Comment::EndSetup, Mark::EndSetup},
            {Comment::Page, Mark::Page},               {Comment::EndPageSetup, Mark::EndPageSetup},
            {Comment::Trailer, Mark::Trailer},         {Comment::Eof, Mark::Eof},
        };
        for (const auto &m : kMarks) {
            if (m.comment != comment) continue;
            // Pages end at the (first) trailer.
            if (m.kind == Mark::Page && trailerSeen_) return false;
            if (m.kind == Mark::Trailer) trailerSeen_ = true;
            mark = {m.kind, line.start, line.next};
            return true;
        }
        return false;
    }

    BlockWindow window_;
    LineReader lines_;
    bool inHeader_ = true;
    int embedded_ = 0;
    bool trailerSeen_ = false;
    bool pending_ = false;
    DscMark pendingMark_{};
};

// What the first reading finds: the first of each comment that places the header, prolog and setup points. It
// stops once it has the four prolog and setup comments; the second reading finds the trailer for itself.
struct DscSummary {
    uint64_t size = 0;
    uint64_t headerEnd = kUnset, prolog = kUnset, endProlog = kUnset, setup = kUnset, endSetup = kUnset;
    uint64_t afterEndSetup = kUnset, firstPage = kUnset;
};

bool Summarize(DocumentBytes &doc, size_t block, DscSummary &s)
{
    s = DscSummary();
    s.size = doc.Size();
    DscScanner scanner(doc, block);
    DscMark m;
    auto first = [](uint64_t &field, uint64_t value) {
        if (field == kUnset) field = value;
    };
    while (scanner.Next(m)) {
        switch (m.kind) {
        case Mark::HeaderEnd: s.headerEnd = m.start; break;
        case Mark::BeginProlog: first(s.prolog, m.next); break;
        case Mark::EndProlog: first(s.endProlog, m.next); break;
        case Mark::BeginSetup: first(s.setup, m.next); break;
        case Mark::EndSetup:
            if (s.endSetup == kUnset) s.afterEndSetup = m.next;
            first(s.endSetup, m.start);
            break;
        case Mark::Page: first(s.firstPage, m.start); break;
        default: break;
        }
        // With all four the first page no longer places anything (see DscPlanner).
        if (s.prolog != kUnset && s.endProlog != kUnset && s.setup != kUnset && s.endSetup != kUnset) break;
    }
    if (scanner.Failed()) return false;
    if (s.headerEnd == kUnset) s.headerEnd = s.size;
    // Without %%Page: comments the page begins where the prolog and setup sections end.
    if (s.firstPage == kUnset)
        s.firstPage = s.afterEndSetup != kUnset ? s.afterEndSetup : s.endProlog != kUnset ? s.endProlog : s.headerEnd;
    return true;
}

// The second reading: the points in stream order, each page's found by reading ahead to its %%EndPageSetup and
// to the next %%Page:.
class DscPlanner {
public:
    DscPlanner(DocumentBytes &doc, size_t block, const DscSummary &s) : pages_(doc, block), s_(s) {}

    bool Failed() const { return pages_.Failed(); }
    const BlockWindow &Window() const { return pages_.Window(); }

    // The next point; false after ENDSTREAM or when the document cannot be read.
    bool Next(DscPoint &point)
    {
        while (queued_ == taken_)
            if (!Advance()) return false;
        point = queue_[taken_++ % kQueue];
        return true;
    }

private:
    enum class Stage { Header, FirstPage, Page, End, Done };

    // A point never falls before the one listed above it.
    void Add(uint64_t offset, DscAction action, DWORD index = 0)
    {
        floor_ = std::max(floor_, std::min(offset, s_.size));
        queue_[queued_++ % kQueue] = {floor_, action, index};
    }

    // The next mark, noting the first %%Trailer and %%EOF on the way: they end the body, which is needed only
    // once the reading has passed them.
    bool NextMark(DscMark &mark)
    {
        if (!pages_.Next(mark)) return false;
        if (mark.kind == Mark::Trailer && trailer_ == kUnset) trailer_ = mark.start;
        if (mark.kind == Mark::Eof && eof_ == kUnset) eof_ = mark.start;
        return true;
    }

    // The next %%Page: mark, or false at the end (or on a read failure).
    bool NextPage(DscMark &page)
    {
        while (NextMark(page))
            if (page.kind == Mark::Page) return true;
        return false;
    }

    uint64_t BodyEnd() const { return trailer_ != kUnset ? trailer_ : eof_ != kUnset ? eof_ : s_.size; }

    bool Advance()
    {
        switch (stage_) {
        case Stage::Header: {
            Add(0, DscAction::Inject, PSINJECT_BEGINSTREAM);
            Add(s_.prolog != kUnset ? s_.prolog : s_.headerEnd, DscAction::Inject, PSINJECT_BEGINPROLOG);
            uint64_t beginSetup = s_.setup != kUnset       ? s_.setup
                                  : s_.endProlog != kUnset ? s_.endProlog
                                                           : s_.firstPage;
            Add(beginSetup, DscAction::Inject, PSINJECT_BEGINSETUP);
            uint64_t endSetup = s_.endSetup != kUnset ? s_.endSetup : s_.setup != kUnset ? s_.firstPage : beginSetup;
            Add(endSetup, DscAction::Inject, PSINJECT_ENDSETUP);
            stage_ = Stage::FirstPage;
            return true;
        }
        case Stage::FirstPage:
            if (NextPage(page_)) {
                stage_ = Stage::Page;
                return true;
            }
            if (Failed()) return false;
            // No %%Page: comments: the whole body is one page.
            Add(s_.firstPage, DscAction::StartPage);
            Add(s_.firstPage, DscAction::Inject, PSINJECT_ENDPAGESETUP);
            Add(BodyEnd(), DscAction::SendPage);
            stage_ = Stage::End;
            return true;
        case Stage::Page: {
            Add(page_.start, DscAction::StartPage);
            // The page's %%EndPageSetup is the first before the next %%Page:.
            DscMark m{}, next{};
            bool haveSetupEnd = false, haveNext = false;
            while (NextMark(m)) {
                if (m.kind == Mark::Page) {
                    next = m;
                    haveNext = true;
                    break;
                }
                if (m.kind == Mark::EndPageSetup) {
                    haveSetupEnd = true;
                    break;
                }
            }
            if (Failed()) return false;
            Add(haveSetupEnd ? m.start : page_.next, DscAction::Inject, PSINJECT_ENDPAGESETUP);
            if (haveSetupEnd) haveNext = NextPage(next);
            if (Failed()) return false;
            Add(haveNext ? next.start : BodyEnd(), DscAction::SendPage);
            if (haveNext) page_ = next;
            else stage_ = Stage::End;
            return true;
        }
        case Stage::End:
            Add(s_.size, DscAction::Inject, PSINJECT_ENDSTREAM);
            stage_ = Stage::Done;
            return true;
        case Stage::Done: return false;
        }
        return false;
    }

    DscScanner pages_;
    DscSummary s_;
    Stage stage_ = Stage::Header;
    uint64_t floor_ = 0;
    DscMark page_{};
    uint64_t trailer_ = kUnset, eof_ = kUnset;
    static constexpr size_t kQueue = 4;  // an Advance adds at most four points
    DscPoint queue_[kQueue]{};
    size_t queued_ = 0, taken_ = 0;
};

} // namespace

std::vector<DscPoint> PlanTranscription(std::string_view doc, size_t block)
{
    MemoryBytes bytes(doc);
    std::vector<DscPoint> plan;
    DscSummary summary;
    if (!Summarize(bytes, block, summary)) return plan;
    DscPlanner planner(bytes, block, summary);
    DscPoint p;
    while (planner.Next(p)) plan.push_back(p);
    return plan;
}

bool Transcribe(DocumentBytes &doc, TranscriptionTarget &target, const WString &docName, DWORD jobId)
{
    DscSummary summary;
    if (!Summarize(doc, kSummaryBlock, summary)) return false;
    if (!target.StartDoc(docName, jobId)) return false;
    DscPlanner planner(doc, kPlanBlock, summary);
    // The bytes up to each point come from the planner's kept blocks; those it has already let go (a page longer
    // than a block) are read again.
    std::vector<BYTE> own;
    uint64_t written = 0;
    DscPoint p;
    while (planner.Next(p)) {
        while (written < p.offset) {
            size_t avail = 0;
            const BYTE *bytes = reinterpret_cast<const BYTE *>(planner.Window().Kept(written, avail));
            if (!bytes) {
                own.resize(kPlanBlock);
                avail = static_cast<size_t>(std::min<uint64_t>(own.size(), p.offset - written));
                if (!doc.Read(written, own.data(), avail)) return false;
                bytes = own.data();
            }
            size_t n = static_cast<size_t>(std::min<uint64_t>(avail, p.offset - written));
            if (!target.Emit(bytes, n)) return false;
            written += n;
        }
        bool ok = p.action == DscAction::StartPage ? target.StartPage()
                  : p.action == DscAction::SendPage ? target.SendPage()
                                                    : target.Inject(p.index);
        if (!ok) return false;
    }
    return !planner.Failed() && target.EndDoc();
}

bool Transcribe(std::string_view doc, TranscriptionTarget &target, const WString &docName, DWORD jobId)
{
    MemoryBytes bytes(doc);
    return Transcribe(bytes, target, docName, jobId);
}

} // namespace zep::host
