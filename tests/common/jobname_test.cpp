// The job name and PIN rules that both dialogs filter with and the PJL writer keeps to.
#include <gtest/gtest.h>

#include "common/jobname.h"
#include "test_support.h"

namespace zep {
namespace {

TEST(JobNameRules, CharactersAJobNameAndAPinKeep)
{
    const struct {
        WCHAR c;
        bool name;
        bool pin;
    } rows[] = {
        {' ', true, false}, {'~', true, false}, {'7', true, true},  {'"', false, false},
        {0x7F, false, false}, {'\t', false, false}, {0xFF, false, false}, {0x010A, false, false},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(static_cast<int>(r.c));
        EXPECT_EQ(IsJobNameChar(r.c), r.name);
        EXPECT_EQ(IsPinChar(r.c), r.pin);
    }
}

TEST(JobNameRules, FilterDropsRefusedCharactersAndTheCaretFollows)
{
    WCHAR text[] = TEXT("x\"y\u00ffz");
    EXPECT_EQ(FilterText(text, IsJobNameChar), 2);
    EXPECT_EQ(zeptest::WString(text), TEXT("xyz"));
    WCHAR pin[] = TEXT("1a2");
    EXPECT_EQ(FilterText(pin, IsPinChar), 1);
    EXPECT_EQ(zeptest::WString(pin), TEXT("12"));
    EXPECT_EQ(CaretAfterFilter(5, 2), 3u);
    EXPECT_EQ(CaretAfterFilter(1, 2), 0u);
}

} // namespace
} // namespace zep
