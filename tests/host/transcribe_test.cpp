// Where the transcription puts the injection points and page calls, and that the document's bytes pass unchanged.
#include "host/core/transcribe.h"

#include <gtest/gtest.h>

#include <cstring>


#include "host_test_util.h"

using namespace zep::host;

namespace {

// Writes the document's bytes and a mark for every call: [n] injection point n, <SD> <SP> <EP> <ED>.
class MarkingTarget final : public TranscriptionTarget {
public:
    bool StartDoc(const WString &, DWORD) override { return Mark("<SD>"); }
    bool StartPage() override { return Mark("<SP>"); }
    bool SendPage() override { return Mark("<EP>"); }
    bool EndDoc() override { return Mark("<ED>"); }
    bool Inject(DWORD index) override { return Mark("[" + std::to_string(index) + "]"); }
    bool Emit(const BYTE *data, size_t size) override
    {
        out.append(reinterpret_cast<const char *>(data), size);
        return true;
    }
    bool Mark(const std::string &m)
    {
        out += m;
        return m != failAt;
    }
    std::string out;
    std::string failAt;
};

std::string Transcribed(const std::string &doc)
{
    MarkingTarget t;
    EXPECT_TRUE(Transcribe(doc, t, TEXT("doc"), 7));
    return t.out;
}

} // namespace

TEST(Transcription, InjectionPointsByDocumentShape)
{
    struct Case {
        const char *name;
        std::string doc;
        std::string expected;
    } cases[] = {
        {"fully structured",
         "%!PS\n%%Pages: 2\n%%EndComments\n%%BeginProlog\np\n%%EndProlog\n%%BeginSetup\ns\n%%EndSetup\n"
         "%%Page: 1 1\n%%BeginPageSetup\n%%EndPageSetup\na\n%%Page: 2 2\n%%EndPageSetup\nb\n%%Trailer\nt\n%%EOF\n",
         "<SD>[1]%!PS\n%%Pages: 2\n%%EndComments\n%%BeginProlog\n[14]p\n%%EndProlog\n%%BeginSetup\n[16]s\n[17]"
         "%%EndSetup\n<SP>%%Page: 1 1\n%%BeginPageSetup\n[102]%%EndPageSetup\na\n<EP><SP>%%Page: 2 2\n[102]"
         "%%EndPageSetup\nb\n<EP>%%Trailer\nt\n%%EOF\n[20]<ED>"},
        {"no prolog or setup comments",
         "%!PS\n%%Title: x\n%%EndComments\n/a 1 def\n%%Page: 1 1\nshowpage\n%%EOF\n",
         "<SD>[1]%!PS\n%%Title: x\n%%EndComments\n[14]/a 1 def\n[16][17]<SP>%%Page: 1 1\n[102]showpage\n<EP>"
         "%%EOF\n[20]<ED>"},
        {"header ends at the first non-comment line",
         "%!PS\n%%Title: x\n/a 1 def\n%%BeginSetup\n%%EndSetup\nshowpage\n",
         "<SD>[1]%!PS\n%%Title: x\n[14]/a 1 def\n%%BeginSetup\n[16][17]%%EndSetup\n<SP>[102]showpage\n<EP>[20]<ED>"},
        {"setup after the prolog's end, no %%EndSetup",
         "%!PS\n%%BeginProlog\n%%EndProlog\nsetup\n%%Page: 1 1\nx\n",
         "<SD>[1]%!PS\n%%BeginProlog\n[14]%%EndProlog\n[16][17]setup\n<SP>%%Page: 1 1\n[102]x\n<EP>[20]<ED>"},
        {"no page comments: one page",
         "%!PS\n%%EndComments\n0 0 moveto\nshowpage\n%%Trailer\n",
         "<SD>[1]%!PS\n%%EndComments\n[14][16][17]<SP>[102]0 0 moveto\nshowpage\n<EP>%%Trailer\n[20]<ED>"},
        {"embedded document's comments are not ours",
         "%!PS\n%%EndComments\n%%BeginDocument: e.eps\n%%BeginProlog\n%%Page: 1 1\n%%EndDocument\n%%Page: 1 1\n",
         "<SD>[1]%!PS\n%%EndComments\n[14]%%BeginDocument: e.eps\n%%BeginProlog\n%%Page: 1 1\n"
         "%%EndDocument\n[16][17]<SP>%%Page: 1 1\n[102]<EP>[20]<ED>"},
        {"setup before prolog: points keep their order",
         "%!PS\n%%BeginSetup\n%%EndSetup\n%%BeginProlog\n%%Page: 1 1\n",
         "<SD>[1]%!PS\n%%BeginSetup\n%%EndSetup\n%%BeginProlog\n[14][16][17]<SP>%%Page: 1 1\n[102]<EP>[20]<ED>"},
        {"CR LF lines", "%!PS\r\n%%BeginProlog\r\n%%BeginSetup\r\n%%EndSetup\r\n",
         "<SD>[1]%!PS\r\n%%BeginProlog\r\n[14]%%BeginSetup\r\n[16][17]%%EndSetup\r\n<SP>[102]<EP>[20]<ED>"},
        {"similar keywords are not the comments", "%!PS\n%%BeginProlog2\n%%Pages: 1\n%%PageBoundingBox: 0\n",
         "<SD>[1]%!PS\n[14][16][17]<SP>[102]%%BeginProlog2\n%%Pages: 1\n%%PageBoundingBox: 0\n<EP>[20]<ED>"},
        {"empty document", "", "<SD>[1][14][16][17]<SP>[102]<EP>[20]<ED>"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Transcribed(c.doc), c.expected);
        // The document is read in blocks; lines and comments that straddle them must not change the plan.
        std::vector<DscPoint> plan = PlanTranscription(c.doc);
        for (size_t block : {1, 2, 3, 7, 13}) {
            std::vector<DscPoint> small = PlanTranscription(c.doc, block);
            ASSERT_EQ(small.size(), plan.size()) << "block " << block;
            for (size_t i = 0; i < plan.size(); ++i) {
                EXPECT_EQ(small[i].offset, plan[i].offset) << "block " << block << ", point " << i;
                EXPECT_EQ(small[i].index, plan[i].index) << "block " << block << ", point " << i;
            }
        }
    }
}

TEST(Transcription, SampleDocumentPassesByteForByte)
{
    std::string doc = host_test::ReadFile(host_test::SourceDir() / "driver" / "samples" / "sample.ps");
    ASSERT_FALSE(doc.empty());

    std::string out = Transcribed(doc);
    // Each point once (ENDPAGESETUP and the page calls once per page), then nothing but the document.
    for (const char *mark : {"[1]", "[14]", "[16]", "[17]", "[20]", "<SD>", "<ED>"}) {
        size_t first = out.find(mark);
        ASSERT_NE(first, std::string::npos) << mark;
        EXPECT_EQ(out.find(mark, first + 1), std::string::npos) << mark;
    }
    size_t pages = 0;
    for (size_t at = out.find("[102]"); at != std::string::npos; at = out.find("[102]", at + 1)) ++pages;
    EXPECT_EQ(pages, 3u);
    EXPECT_NE(out.find("%%BeginProlog\n[14]"), std::string::npos);
    EXPECT_NE(out.find("%%BeginSetup\n[16]"), std::string::npos);
    EXPECT_NE(out.find("[17]%%EndSetup"), std::string::npos);
    EXPECT_NE(out.find("[102]%%EndPageSetup"), std::string::npos);
    for (const char *mark : {"[1]", "[14]", "[16]", "[17]", "[20]", "[102]", "<SD>", "<ED>", "<SP>", "<EP>"})
        for (size_t at; (at = out.find(mark)) != std::string::npos;) out.erase(at, std::string(mark).size());
    EXPECT_EQ(out, doc);
}

TEST(Transcription, ADocumentThatCannotBeReadStopsIt)
{
    // The document gives its first bytes, then fails: as a file cut short under the print would.
    struct CutShort final : DocumentBytes {
        std::string bytes = "%!PS\n%%BeginSetup\n%%EndSetup\n%%Page: 1 1\nbody\n%%Trailer\n";
        uint64_t readable = 0;
        uint64_t Size() const override { return bytes.size(); }
        bool Read(uint64_t offset, BYTE *out, size_t size) override
        {
            if (offset + size > readable) return false;
            std::memcpy(out, bytes.data() + offset, size);
            return true;
        }
    } doc;
    for (uint64_t readable : {uint64_t{0}, uint64_t{20}, doc.Size() - 1}) {
        SCOPED_TRACE(readable);
        doc.readable = readable;
        MarkingTarget t;
        EXPECT_FALSE(Transcribe(doc, t, TEXT("doc"), 1));
        EXPECT_EQ(t.out.find("<ED>"), std::string::npos) << t.out;
    }
}

TEST(Transcription, StopsAtTheFirstFailingCall)
{
    MarkingTarget t;
    t.failAt = "[16]";
    EXPECT_FALSE(Transcribe("%!PS\n%%BeginSetup\nrest\n", t, TEXT("doc"), 1));
    EXPECT_EQ(t.out, "<SD>[1]%!PS\n[14]%%BeginSetup\n[16]");
}
