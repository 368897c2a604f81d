// Feature options, the effective job type and the pages-per-sheet count.
#include <gtest/gtest.h>

#include "fake_core.h"
#include "render/jobtype.h"

using namespace zep;

namespace {

TEST(JobType, Decision)
{
    const struct {
        const char *name;
        JobType selected;
        bool jobLimit, hdd, crypto, card;
        JobType expected;
    } cases[] = {
        {"job limit rule beats Spool", JobType::Spool, true, true, true, false, JobType::SecureChip},
        {"job limit rule beats Normal", JobType::Normal, true, true, true, false, JobType::SecureChip},
        {"job limit without crypto", JobType::Spool, true, true, false, false, JobType::Spool},
        {"no hard disk", JobType::Secure, false, false, false, true, JobType::Normal},
        {"no hard disk, job limit", JobType::Secure, true, false, true, true, JobType::Normal},
        {"card makes Secure chip", JobType::Secure, false, true, false, true, JobType::SecureChip},
        {"card makes Spool chip", JobType::Spool, false, true, false, true, JobType::SecureChip},
        {"card leaves Normal", JobType::Normal, false, true, false, true, JobType::Normal},
        {"card makes unknown chip", JobType::Other, false, true, false, true, JobType::SecureChip},
        {"no card", JobType::Secure, false, true, false, false, JobType::Secure},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        int asked = 0;
        JobType t = DecideJobType({c.selected, c.jobLimit, c.hdd, c.crypto}, [&] {
            ++asked;
            return c.card;
        });
        EXPECT_EQ(t, c.expected);
        EXPECT_LE(asked, 1);
    }
}

TEST(JobType, OptionsAreComparedExactly)
{
    EXPECT_EQ(JobTypeFromOption("Secure_Chip"), JobType::SecureChip);
    EXPECT_EQ(JobTypeFromOption("Normal"), JobType::Normal);
    EXPECT_EQ(JobTypeFromOption("normal"), JobType::Other);
    EXPECT_EQ(JobTypeFromOption("Normal "), JobType::Other);
    EXPECT_EQ(JobTypeFromOption(""), JobType::Other);

    zeptest::FakeDevice device;
    RenderCall rc{&device.devobj, nullptr};
    device.options = {{"ZPHDD", "Truex"}, {"ZPJobLimit", "True"}};
    EXPECT_FALSE(FeatureIs(rc, "ZPHDD", "True"));
    EXPECT_TRUE(FeatureIs(rc, "ZPJobLimit", "True"));
    device.options["ZPLong"] = std::string(80, 'L'); // does not fit 64 bytes: read as empty
    CHAR option[kOptionBytes + 1];
    GetFeatureOption(rc, "ZPLong", option);
    EXPECT_EQ(option[0], 0);
    EXPECT_FALSE(IsEpsOutput(rc));
    device.outputOption = PS_OUTPUT_EPS;
    EXPECT_TRUE(IsEpsOutput(rc));
    EXPECT_FALSE(IsEpsOutput(RenderCall{}));
}

TEST(JobType, EffectiveFromTheCoreSettings)
{
    zeptest::FakeDevice device;
    RenderCall rc{&device.devobj, nullptr};
    device.options = {{"ZPJob_Type", "Secure"}, {"ZPHDD", "False"}};
    EXPECT_EQ(EffectiveJobType(rc), JobType::Normal);
    device.options["ZPHDD"] = "True";
    EXPECT_EQ(EffectiveJobType(rc), JobType::Secure); // no printer, so no IC card library and no CryptoDll
    device.options["ZPJob_Type"] = "Spool";
    device.options["ZPJobLimit"] = "True";
    EXPECT_EQ(EffectiveJobType(rc), JobType::Spool);
}

TEST(JobType, NupCount)
{
    const int expected[] = {1, 2, 4, 6, 9, 16, 2, 1, 1};
    for (BYTE sel = 0; sel < 9; ++sel) EXPECT_EQ(NupCount(sel), expected[sel]) << int(sel);
    EXPECT_EQ(NupCount(255), 1);
}

} // namespace
