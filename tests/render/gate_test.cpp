// The WritePrinter gate: ordinary jobs pass block for block; "Secure_Chip" jobs are collected, encrypted and framed,
// and cancelled when anything fails. The fake library passes data through, so the framing is read byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_gate.h"
#include "render/gate.h"

using namespace zep;
using zeptest::FakeGateSource;

namespace {

const std::string kUel = "\x1b%-12345X";
const std::string kJobEnd = "@PJL EOJ NAME = \"END\"\n" + kUel;
const std::string kJobLine = "@PJL JOB NAME=\"Report\"";
const std::string kAuxLines = "@PJL ZEPAUXJOBINFO DATA=\"ComputerName=PC-7\"\r\n"
                              "@PJL ZEPAUXJOBINFO DATA=\"UserName=ann\"\r\n"
                              "@PJL ZEPAUXJOBINFO DATA=\"ReceptionTime=2026/12/11 16:05:35\"\r\n";
const std::string kCardLines = "@PJL COMMENT Device Name :Zep CL500 PS\r\n@PJL COMMENT Version     :1.0.0.3\r\n";
const std::string kEnter = "@PJL ENTER LANGUAGE=POSTSCRIPT\n";
const std::string kBody = "%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n/Helvetica findfont 12 scalefont setfont\n"
                          "72 720 moveto (Hello) show showpage\n%%EOF\n";
const std::string kTrailer = kUel + "@PJL EOJ\r\n";
constexpr DWORD kJobId = 17;
constexpr DWORD kUntouched = 0xABCD;

std::string Framed(const std::string &location, const std::string &payload)
{
    return "@PJL ZEPRESOURCEWRITE LOCATION=\"SecureJobAccessor:" + location + "\" SIZE=" +
           std::to_string(payload.size()) + "\n" + payload + kUel;
}

std::string Header(bool aux, bool card = false)
{
    return kUel + kJobLine + "\r\n" + (card ? kCardLines : "") + (aux ? kAuxLines : "") + kEnter;
}

std::string ClearHeader(bool card = false)
{
    return kUel + kJobLine + "\r\n" + (card ? kCardLines : "") + kAuxLines +
           "@PJL ZEPAUXJOBINFO DATA=\"KeepingTime=02:00\"\r\n";
}

// A gate with a job started, as BEGINSTREAM and DrvStartDoc leave it.
struct Job {
    FakeGateSource source; // outlives the state, whose context deletes its handle
    GateState state;
    Job()
    {
        GateStartJob(state);
        state.currentJobId = kJobId;
        source.library.stored = "1234";
        source.dm.dwEncryptedPasswordLen = 40;
    }
    // One block through the gate; its written count (kUntouched when the gate left it).
    DWORD Send(const std::string &block)
    {
        DWORD written = kUntouched;
        std::string copy = block;
        EXPECT_EQ(RunGate(&state, source, copy.data(), static_cast<DWORD>(copy.size()), &written), S_OK);
        return written;
    }
    std::vector<DWORD> SendAll(const std::vector<std::string> &blocks)
    {
        std::vector<DWORD> counts;
        for (const std::string &b : blocks) counts.push_back(Send(b));
        return counts;
    }
    bool Ended() const { return source.spooled.find(kJobEnd) != std::string::npos; }
};

TEST(Gate, OtherJobTypesPassBlockForBlock)
{
    for (JobType type : {JobType::Normal, JobType::Spool, JobType::Secure, JobType::Other}) {
        SCOPED_TRACE(static_cast<int>(type));
        Job job;
        job.source.type = type;
        const std::vector<std::string> blocks = {Header(true), kBody, kTrailer};
        std::string expected;
        for (const std::string &b : blocks) {
            EXPECT_EQ(job.Send(b), b.size());
            expected += b;
            EXPECT_EQ(job.source.spooled, expected);
        }
        EXPECT_TRUE(job.source.library.calls.empty());
        // The spooler's refusal is the gate's.
        job.source.writesBeforeFailure = 0;
        DWORD written = kUntouched;
        std::string block = kBody;
        EXPECT_EQ(RunGate(&job.state, job.source, block.data(), static_cast<DWORD>(block.size()), &written), E_FAIL);
        EXPECT_EQ(written, 0u);
    }
    DWORD written = kUntouched;
    EXPECT_EQ(GateWritePrinter(nullptr, nullptr, 10, &written), S_OK);
    EXPECT_EQ(written, kUntouched);
}

TEST(Gate, EncryptedJobsFramedWithAndWithoutTheClearHeader)
{
    const std::string init = Framed("write_start", "INIT(1234)");
    const std::string end = Framed("write_end", "END") + kJobEnd;
    const std::string head = kUel + kJobLine + "\r\n";
    const struct {
        const char *name;
        std::vector<std::string> blocks;
        std::string expected;
        std::vector<DWORD> written;
    } cases[] = {
        {"three auxiliary lines: the clear header first (state 4)",
         {Header(true), kBody, kTrailer},
         ClearHeader() + init + Framed("write", Header(true)) + Framed("write", kBody) + Framed("write", kTrailer) + end,
         {static_cast<DWORD>(ClearHeader().size()), 0, 0}},
        {"without them no clear header (state 8)",
         {Header(false), kBody + kTrailer},
         init + Framed("write", Header(false)) + Framed("write", kBody + kTrailer) + end,
         {0, 0}},
        {"a header over several blocks is collected, then encrypted as one",
         {head, kAuxLines.substr(0, 60), kAuxLines.substr(60) + kEnter + kBody, kTrailer},
         ClearHeader() + init + Framed("write", head + kAuxLines + kEnter + kBody) + Framed("write", kTrailer) + end,
         {0, 0, static_cast<DWORD>(ClearHeader().size()), 0}},
        {"an auxiliary line is captured only once its end has arrived",
         {head + kAuxLines.substr(0, kAuxLines.size() - 6), kAuxLines.substr(kAuxLines.size() - 6) + kEnter + kTrailer},
         ClearHeader() + init + Framed("write", head + kAuxLines + kEnter + kTrailer) + end,
         {0, static_cast<DWORD>(ClearHeader().size())}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Job job;
        EXPECT_EQ(job.SendAll(c.blocks), c.written);
        EXPECT_EQ(job.source.spooled, c.expected);
        EXPECT_EQ(job.source.library.key, "1234");
        EXPECT_EQ(job.source.library.live, 0) << "deleted at the job's end";
        EXPECT_TRUE(job.source.cancelled.empty());
    }
}

TEST(Gate, CollectingStopsAt32768BytesOrAStopPattern)
{
    {
        Job job;
        EXPECT_EQ(job.Send(std::string(32767, 'x')), 0u);
        EXPECT_EQ(job.source.spooled, "") << "still collecting";
        job.Send("y");
        EXPECT_EQ(job.source.spooled.rfind(Framed("write_start", "INIT(1234)") +
                                               Framed("write", std::string(32767, 'x') + "y"),
                                           0),
                  0u);
    }
    const struct {
        const char *block;
        bool stops;
    } stops[] = {
        {"@PJL ENTER LANGUAGE=PCL\r\n", true},
        {"%%!PS-Adobe-3.0\n", true},
        {"%!PS-Adobe-3.0\n", false}, // one percent sign is not the pattern
        {"@PJL ENTER LANGUAG", false},
    };
    for (const auto &s : stops) {
        SCOPED_TRACE(s.block);
        Job job;
        job.Send(s.block);
        EXPECT_EQ(!job.source.spooled.empty(), s.stops);
    }
}

TEST(Gate, EndOfJobFoundAcrossBlocksAndByteForByte)
{
    const std::string lead(300, 'p');
    const struct {
        const char *name;
        std::vector<std::string> blocks;
        int endsAt; // index of the block that ends the job, -1 for none
    } cases[] = {
        {"@PJL EOJ split across two blocks", {lead + "\x1b%-12345X@PJL E", "OJ\r\n"}, 1},
        {"%%%%EOF split across three blocks", {"%%", "%%E", "OF\n"}, 2},
        {"@PJL EOJ deep inside a block", {lead + "@PJL EOJ\r\n" + lead}, 0},
        {"a PostScript %%EOF comment alone", {"%%EOF\n", "%%EOF\r\n" + lead}, -1},
        {"%%%EOF is one percent sign short", {"%%%EOF\n"}, -1},
        {"@PJL EOJ with a different letter case", {"@pjl eoj\r\n"}, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Job job;
        job.Send(Header(false));
        int endedAt = -1;
        for (size_t i = 0; i < c.blocks.size(); ++i) {
            job.Send(c.blocks[i]);
            if (endedAt < 0 && job.Ended()) endedAt = static_cast<int>(i);
        }
        EXPECT_EQ(endedAt, c.endsAt);
    }
}

TEST(Gate, AnEmptyUpdateOutputWritesNoWriteLine)
{
    Job job;
    job.source.library.emptyUpdates = true;
    job.SendAll({Header(false), kBody, kTrailer});
    EXPECT_EQ(job.source.spooled, Framed("write_start", "INIT(1234)") + Framed("write_end", "END") + kJobEnd);
}

TEST(Gate, AFailureInAnyPhaseCancelsTheJobAndDropsTheRest)
{
    const std::string clear = ClearHeader();
    const std::string init = Framed("write_start", "INIT(1234)");
    const struct {
        const char *name;
        void (*setUp)(FakeGateSource &);
        std::string spooledAtFailure; // what the spooler got before the job was cancelled; "" for the end phase
    } cases[] = {
        {"no library", [](FakeGateSource &s) { s.libraryPresent = false; }, clear},
        {"a library without DispPasswordUI", [](FakeGateSource &s) { s.library.withPrompt = false; }, clear},
        {"no handle", [](FakeGateSource &s) { s.library.nullHandle = true; }, clear},
        {"Init fails", [](FakeGateSource &s) { s.library.failing = "Init"; }, clear},
        {"Update fails", [](FakeGateSource &s) { s.library.failing = "Update"; }, clear + init},
        {"Update answers without a buffer", [](FakeGateSource &s) { s.library.nullOutput = true; }, clear + init},
        {"End fails", [](FakeGateSource &s) { s.library.failing = "End"; }, ""},
        {"the spooler refuses the clear header", [](FakeGateSource &s) { s.writesBeforeFailure = 0; }, ""},
        {"the spooler refuses the framing", [](FakeGateSource &s) { s.writesBeforeFailure = 2; },
         clear + "@PJL ZEPRESOURCEWRITE LOCATION=\"SecureJobAccessor:write_start\" SIZE=10\n"},
        {"a card that cannot be read ends the PJL cleanly",
         [](FakeGateSource &s) {
             s.card = true;
             s.cardReadable = false;
         },
         // The card's lines were not in the header, so their places stay empty.
         kUel + kJobLine + "\r\n\r\n\r\n" + kAuxLines + "@PJL ZEPAUXJOBINFO DATA=\"KeepingTime=02:00\"\r\n" + kUel +
             kJobEnd},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Job job;
        c.setUp(job.source);
        const std::vector<std::string> blocks = {Header(true), kBody, kTrailer};
        size_t failedAt = blocks.size();
        std::string atFailure;
        for (size_t i = 0; i < blocks.size(); ++i) {
            const DWORD written = job.Send(blocks[i]);
            if (failedAt == blocks.size() && !job.source.cancelled.empty()) {
                failedAt = i;
                atFailure = job.source.spooled;
                EXPECT_EQ(written, kUntouched) << "a failed call leaves the count as passed";
            }
        }
        ASSERT_LT(failedAt, blocks.size()) << "the job was not cancelled";
        EXPECT_EQ(job.source.cancelled, std::vector<DWORD>{kJobId});
        EXPECT_TRUE(job.state.encryptedStreamFailed);
        EXPECT_EQ(job.source.spooled, atFailure) << "later blocks are dropped";
        if (std::string(c.name) != "End fails") {
            EXPECT_EQ(atFailure, c.spooledAtFailure);
        }
        EXPECT_FALSE(job.Ended() && std::string(c.name).find("card") == std::string::npos);
        EXPECT_EQ(job.source.library.live, 0) << "the handle is deleted";
        EXPECT_EQ(job.state.context, nullptr);
        EXPECT_EQ(job.state.scanner, nullptr);
    }
}

TEST(Gate, TheJobAfterACancelledOrUnfinishedOneStartsAfresh)
{
    for (const char *first : {"cancelled", "without an end marker"}) {
        SCOPED_TRACE(first);
        Job job;
        if (std::string(first) == "cancelled") job.source.library.failing = "Update";
        // The first job's last bytes are most of an end marker; the next job's first bytes would finish it.
        job.SendAll({Header(true), kBody + "\x1b%-12345X@PJL E"});
        EXPECT_FALSE(job.Ended());

        GateStartJob(job.state);
        EXPECT_EQ(job.source.library.live, 0) << "a context left behind is deleted at the next start";
        EXPECT_FALSE(job.state.encryptedStreamFailed);
        job.source.library.failing.clear();
        job.source.spooled.clear();
        job.source.cancelled.clear();
        const std::string opening = "OJ" + Header(false);
        EXPECT_EQ(job.SendAll({opening.substr(0, 20), opening.substr(20), kBody}), (std::vector<DWORD>{0, 0, 0}));
        EXPECT_FALSE(job.Ended()) << "the earlier job's tail ended this one";
        job.Send(kTrailer);
        EXPECT_EQ(job.source.spooled, Framed("write_start", "INIT(1234)") + Framed("write", opening) +
                                          Framed("write", kBody) + Framed("write", kTrailer) +
                                          Framed("write_end", "END") + kJobEnd);
        EXPECT_TRUE(job.source.cancelled.empty());
    }
}

TEST(Gate, CardJobsTakeTheKeyFromTheCard)
{
    for (bool ex2 : {true, false}) {
        SCOPED_TRACE(ex2 ? "InitEncryptionEx2 exported" : "InitEncryptionEx only");
        Job job;
        job.source.card = true;
        job.source.library.withEx2 = ex2;
        const std::vector<DWORD> written = job.SendAll({Header(true, true), kBody + kTrailer});
        const std::string clear = ClearHeader(true) + "@PJL COMMENT ICCARDJOB\r\n";
        EXPECT_EQ(written, (std::vector<DWORD>{static_cast<DWORD>(clear.size()), 0}));
        const std::string start = ex2 ? "CARD2(CARD-0123)" : "CARD(CARD-0123)";
        EXPECT_EQ(job.source.spooled, clear + Framed("write_start", start) + Framed("write", Header(true, true)) +
                                          Framed("write", kBody + kTrailer) + Framed("write_end", "END") + kJobEnd);
        const std::vector<std::string> calls = {"Create", ex2 ? "InitEx2" : "InitEx", "Update", "Update", "End",
                                                "Delete"};
        EXPECT_EQ(job.source.library.calls, calls) << "no password is read or asked for";
    }
}

TEST(Gate, ThePasswordIsStoredOrAskedFor)
{
    const struct {
        const char *name;
        std::string stored; // what the stored blob decrypts to; "" does not decrypt
        DWORD storedLength;
        DWORD ask;
        std::string key;
        bool prompted;
    } cases[] = {
        {"stored", "1234", 40, 0, "1234", false},
        {"stored but asked for", "1234", 40, 1, "typed", true},
        {"nothing stored", "", 0, 0, "typed", true},
        {"a stored password that does not decrypt", "", 40, 0, "typed", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Job job;
        job.source.library.stored = c.stored;
        job.source.library.typed = "typed";
        job.source.dm.dwEncryptedPasswordLen = c.storedLength;
        job.source.dm.dwAskPassword = c.ask;
        job.Send(Header(false));
        EXPECT_EQ(job.source.library.key, c.key);
        const auto &calls = job.source.library.calls;
        EXPECT_EQ(std::find(calls.begin(), calls.end(), "Prompt") != calls.end(), c.prompted);
        EXPECT_EQ(job.source.dm.dwAskPassword, c.prompted ? 1u : 0u);
    }
}

} // namespace
