// The job name and PIN rules that both dialogs filter with and the PJL writer keeps to.
#include <gtest/gtest.h>

#include <string>

#include "common/jobname.h"

namespace zep {
namespace {

TEST(JobNameRules, CharactersAJobNameAndAPinKeep)
{
    const struct {
        WCHAR c;
        bool name;
        bool pin;
    } rows[] = {
        {u' ', true, false}, {u'~', true, false}, {u'7', true, true},  {u'"', false, false},
        {0x7F, false, false}, {u'\t', false, false}, {0xFF, false, false}, {0x010A, false, false},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(static_cast<int>(r.c));
        EXPECT_EQ(IsJobNameChar(r.c), r.name);
        EXPECT_EQ(IsPinChar(r.c), r.pin);
    }
}

TEST(JobNameRules, FilterDropsRefusedCharactersAndTheCaretFollows)
{
    WCHAR text[] = u"x\"y\u00ffz";
    EXPECT_EQ(FilterText(text, IsJobNameChar), 2);
    EXPECT_EQ(std::u16string(text), u"xyz");
    WCHAR pin[] = u"1a2";
    EXPECT_EQ(FilterText(pin, IsPinChar), 1);
    EXPECT_EQ(std::u16string(pin), u"12");
    EXPECT_EQ(CaretAfterFilter(5, 2), 3u);
    EXPECT_EQ(CaretAfterFilter(1, 2), 0u);
}

} // namespace
} // namespace zep
