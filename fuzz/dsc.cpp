// The DSC transcriber over any document: read in blocks of any size it makes the same plan, every injection point
// comes once and in stream order, pages open and close in turn, and the document's bytes pass unchanged.
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "host/core/transcribe.h"

namespace {

using zep::host::DscAction;

// Notes the calls and keeps the bytes, as the session would pass them on.
class Target final : public zep::host::TranscriptionTarget {
public:
    std::string bytes;
    std::vector<DWORD> points;
    bool inPage = false;
    int pages = 0;
    bool started = false, ended = false;

    bool StartDoc(const zep::host::WString &, DWORD) override { return started = true; }
    bool StartPage() override
    {
        FUZZ_CHECK(!inPage, "a page starts only after the last one was sent");
        inPage = true;
        ++pages;
        return true;
    }
    bool SendPage() override
    {
        FUZZ_CHECK(inPage, "only a started page is sent");
        inPage = false;
        return true;
    }
    bool EndDoc() override
    {
        FUZZ_CHECK(!inPage, "the document ends after its last page");
        return ended = true;
    }
    bool Inject(DWORD index) override
    {
        points.push_back(index);
        return true;
    }
    bool Emit(const BYTE *data, size_t size) override
    {
        bytes.append(reinterpret_cast<const char *>(data), size);
        return true;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    zepfuzz::Input input(data, size);
    size_t block = 1 + input.Below(64);
    std::string_view doc = input.Rest();

    std::vector<zep::host::DscPoint> plan = zep::host::PlanTranscription(doc);
    std::vector<zep::host::DscPoint> small = zep::host::PlanTranscription(doc, block);
    FUZZ_CHECK(plan.size() == small.size(), "the block size does not change the plan");
    for (size_t i = 0; i < plan.size(); ++i) {
        FUZZ_CHECK(plan[i].offset == small[i].offset && plan[i].action == small[i].action &&
                       plan[i].index == small[i].index,
                   "the block size does not change the plan");
        FUZZ_CHECK(plan[i].offset <= doc.size(), "points fall within the document");
        FUZZ_CHECK(i == 0 || plan[i - 1].offset <= plan[i].offset, "points come in stream order");
    }

    Target target;
    FUZZ_CHECK(zep::host::Transcribe(doc, target, TEXT("doc"), 1), "a document in memory always transcribes");
    FUZZ_CHECK(target.started && target.ended, "the document starts and ends");
    FUZZ_CHECK(target.bytes == doc, "the document's bytes pass unchanged");
    FUZZ_CHECK(target.pages >= 1, "there is at least one page");
    std::vector<DWORD> once = {PSINJECT_BEGINSTREAM, PSINJECT_BEGINPROLOG, PSINJECT_BEGINSETUP, PSINJECT_ENDSETUP};
    FUZZ_CHECK(target.points.size() == once.size() + target.pages + 1, "each point once, page setup once a page");
    for (size_t i = 0; i < once.size(); ++i) FUZZ_CHECK(target.points[i] == once[i], "the header points in order");
    for (size_t i = 0; i < static_cast<size_t>(target.pages); ++i)
        FUZZ_CHECK(target.points[once.size() + i] == PSINJECT_ENDPAGESETUP, "then a page setup point a page");
    FUZZ_CHECK(target.points.back() == PSINJECT_ENDSTREAM, "the stream's end comes last");
    return 0;
}
