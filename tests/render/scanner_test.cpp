// The byte-pattern search the gate's collector and end check use: the first occurrence, as a plain search finds it.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "render/scanner.h"

using namespace zep;

namespace {

TEST(BytePattern, FindsTheFirstOccurrenceAsAPlainSearchDoes)
{
    // Texts over the patterns' own bytes, so that near misses, overlaps and repeats are common.
    const char *const patterns[] = {"@PJL EOJ", "%%%%EOF", "%%!PS-Adobe", "@", "%%"};
    std::mt19937 random(13);
    for (const char *text : patterns) {
        const BytePattern pattern(text, std::char_traits<char>::length(text));
        const std::string needle(text);
        const std::string alphabet = needle + "x\r\n";
        for (int round = 0; round < 2000; ++round) {
            std::string hay(random() % 40, ' ');
            for (char &c : hay) c = alphabet[random() % alphabet.size()];
            if (round % 5 == 0) hay.insert(random() % (hay.size() + 1), needle);
            const size_t expected = hay.find(needle);
            ASSERT_EQ(pattern.Find(reinterpret_cast<const BYTE *>(hay.data()), hay.size()),
                      expected == std::string::npos ? BytePattern::npos : expected)
                << text << " in \"" << hay << "\"";
        }
    }
    const BytePattern eoj("@PJL EOJ");
    EXPECT_EQ(eoj.Find(nullptr, 0), BytePattern::npos);
    EXPECT_EQ(eoj.Find(reinterpret_cast<const BYTE *>("@PJL EO"), 7), BytePattern::npos);
}

} // namespace
