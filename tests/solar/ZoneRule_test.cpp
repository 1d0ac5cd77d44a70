#include "solar/ZoneRule.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct ZoneReference {
    int rule;
    long long t;
    int before, at;
};
#include "tests/solar/zone_rule_reference.inc"

bool Parse(const char* text, ZoneRule& rule) { return ParseZoneRule(text, std::strlen(text), rule); }

// Every rule the cities use, and the forms they do not: the offset at each
// change and one second before it, as Python's zoneinfo evaluates the rule.
TEST(ZoneRuleTest, MatchesZoneinfoAtEveryChange) {
    const int ruleCount = static_cast<int>(sizeof kZoneRules / sizeof kZoneRules[0]);
    ZoneRule rules[sizeof kZoneRules / sizeof kZoneRules[0]];
    for (int i = 0; i < ruleCount; ++i) ASSERT_TRUE(Parse(kZoneRules[i], rules[i])) << kZoneRules[i];
    for (const ZoneReference& r : kZoneReference) {
        EXPECT_EQ(ZoneRuleOffset(rules[r.rule], r.t - 1), r.before) << kZoneRules[r.rule] << " " << r.t;
        EXPECT_EQ(ZoneRuleOffset(rules[r.rule], r.t), r.at) << kZoneRules[r.rule] << " " << r.t;
    }
}

TEST(ZoneRuleTest, ReadsNamesOffsetsAndDaylightFlag) {
    ZoneRule rule;
    ASSERT_TRUE(Parse("<+0545>-5:45", rule));
    EXPECT_STREQ(rule.standardName, "+0545");
    EXPECT_EQ(rule.standardOffset, 20700);
    EXPECT_FALSE(rule.hasDaylight);
    // Dublin: winter is the "daylight" part, one hour behind standard time.
    ASSERT_TRUE(Parse("IST-1GMT0,M10.5.0,M3.5.0/1", rule));
    bool daylight = false;
    EXPECT_EQ(ZoneRuleOffset(rule, 1768478400, &daylight), 0);  // 2026-01-15
    EXPECT_TRUE(daylight);
    EXPECT_EQ(ZoneRuleOffset(rule, 1784116800, &daylight), 3600);  // 2026-07-15
    EXPECT_FALSE(daylight);
    // The daylight offset defaults to one hour ahead.
    ASSERT_TRUE(Parse("EST5EDT,M3.2.0,M11.1.0", rule));
    EXPECT_EQ(rule.daylightOffset, -14400);
}

TEST(ZoneRuleTest, RefusesWhatIsNotATzRule) {
    const char* const bad[] = {"",
                               "CET",
                               "CE-1",
                               "CET-25",
                               "CET-1CEST",
                               "CET-1CEST,M3.5.0",
                               "CET-1CEST,M13.5.0,M10.5.0/3",
                               "CET-1CEST,M3.6.0,M10.5.0",
                               "CET-1CEST,M3.5.7,M10.5.0",
                               "CET-1CEST,M3.5.0,M10.5.0/168",
                               "CET-1CEST,J0,J365",
                               "CET-1CEST,366,0",
                               "CET-1:60",
                               "<+05-5",
                               "<+0545>-5:45x",
                               "<ab>5",
                               "CET-1CEST,M3.5.0,M10.5.0/3,",
                               "CET-99999999999",
                               "ABCDEFGHIJKLMNOPQRSTUVWXYZ0",
                               "CET-1 CEST"};
    for (const char* text : bad) {
        ZoneRule rule;
        EXPECT_FALSE(Parse(text, rule)) << '"' << text << '"';
    }
    // Only the given length counts: the text need not end in a NUL.
    ZoneRule rule;
    EXPECT_TRUE(ParseZoneRule("CET-1CEST,M3.5.0,M10.5.0/3garbage", 26, rule));
    EXPECT_FALSE(ParseZoneRule(nullptr, 5, rule));
}

}  // namespace
