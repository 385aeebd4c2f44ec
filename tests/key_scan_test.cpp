// The key scan is skipped while no input has reached the session since the
// previous scan. The rule case by case, then a randomised day of input
// through a skipping sampler and one that scans at every tick: the same
// figures, however the input falls on the ticks.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "input/sampler.h"
#include "tests/fakes.h"

namespace qm {
namespace {

struct KeyScanTest : ::testing::Test {
    test::ScriptedInput input;
    SamplerState state;

    bool Tick(uint32_t now) {
        input.now = now;
        return KeyScanNeeded(state, input);
    }
};

TEST_F(KeyScanTest, ScansAtTheFirstTickAndAfterInputOnly) {
    input.lastInput = 1000;
    EXPECT_TRUE(Tick(5000));    // the run's first tick
    EXPECT_FALSE(Tick(5060));   // nothing since
    EXPECT_FALSE(Tick(5120));
    input.lastInput = 5130;     // a key between two ticks
    EXPECT_TRUE(Tick(5180));
    EXPECT_FALSE(Tick(5240));
    input.lastInput = std::nullopt;  // the time cannot be read: scan
    EXPECT_TRUE(Tick(5300));
    EXPECT_TRUE(Tick(5360));
}

TEST_F(KeyScanTest, InputInTheMillisecondOfTheLastScanMayHaveComeAfterIt) {
    input.lastInput = 5000;     // a key, then the scan within the same millisecond
    EXPECT_TRUE(Tick(5000));
    // Another key in that millisecond leaves the last-input time as it was.
    EXPECT_TRUE(Tick(5060));
    EXPECT_FALSE(Tick(5120));   // that scan began later: now nothing is owed
}

TEST_F(KeyScanTest, TheMillisecondClockWrapsAndWeeksOfIdleEnd) {
    input.lastInput = 0xFFFFFF00u;
    EXPECT_TRUE(Tick(0xFFFFFFF0u));
    EXPECT_FALSE(Tick(0x0000002Cu));  // past the wrap, no input
    input.lastInput = 0x00000030u;     // input just after the wrap
    EXPECT_TRUE(Tick(0x00000068u));
    EXPECT_FALSE(Tick(0x000000A4u));
    // Thirty days without input, then a key: further than half the clock's
    // range from the last input, yet a new last-input time.
    const uint32_t later = 0x00000068u + 30u * 86400u * 1000u;
    EXPECT_TRUE(Tick(later - 120));  // the sampler's own check, a few seconds after the last scan
    EXPECT_FALSE(Tick(later - 60));
    input.lastInput = later - 10;
    EXPECT_TRUE(Tick(later));
}

// A session's input on a microsecond timeline: key presses and button
// clicks set a key's "pressed since the last query" bit and the last-input
// time; the pointer moves by the hand (input) or by a program (no input).
class Session : public InputDevices {
public:
    struct Event {
        int64_t at;  // microseconds
        int code;    // 0: a pointer move
        bool byHand;
        Point to;
        std::optional<int64_t> stamp = std::nullopt;  // its program's own, for the last-input time
    };
    Session(std::vector<Event> events, bool reportsLastInput, uint32_t clockStart)
        : events_(std::move(events)), reportsLastInput_(reportsLastInput), clockStart_(clockStart) {}

    void AdvanceTo(int64_t us) {
        now_ = us;
        for (; next_ < events_.size() && events_[next_].at <= us; ++next_) {
            const Event& e = events_[next_];
            if (e.code) pressed_[e.code] = true;
            if (e.code == 0) cursor_ = e.to;
            if (e.byHand) lastInput_ = Ms(e.stamp.value_or(e.at));
        }
    }
    uint16_t GetAsyncKeyState(int code) override {
        ++queries;
        const bool was = pressed_[code];
        pressed_[code] = false;
        return was ? 1 : 0;
    }
    std::optional<Point> GetCursorPos() override { return cursor_; }
    std::optional<uint32_t> LastInputMs() override {
        if (!reportsLastInput_) return std::nullopt;  // the sampler of old: a scan at every tick
        return lastInput_;
    }
    uint32_t NowMs() override { return Ms(now_); }
    double Seconds() const { return static_cast<double>(now_) / 1e6; }
    int64_t queries = 0;

private:
    uint32_t Ms(int64_t us) const { return clockStart_ + static_cast<uint32_t>(us / 1000); }
    std::vector<Event> events_;
    size_t next_ = 0;
    bool reportsLastInput_;
    uint32_t clockStart_;
    int64_t now_ = 0;
    std::map<int, bool> pressed_;
    Point cursor_{500, 400};
    uint32_t lastInput_ = 0;
};

struct SessionClock : TimeSource {
    const Session& session;
    explicit SessionClock(const Session& s) : session(s) {}
    double HiResSeconds() override { return session.Seconds(); }
};

// Ten presses that their program stamps: at one time, going back, or at the first one's time.
enum class Stamps { None, Fixed, GoingBack, OfFirstPress };

// Typing bursts, pauses of every length, held keys repeating, clicks, the
// pointer moved by hand and by programs, several presses of one key between
// two ticks, and input in the very microseconds around the ticks.
std::vector<Session::Event> ADayOfInput(std::mt19937& random, int64_t ticks, Stamps stamps = Stamps::None) {
    std::vector<Session::Event> events;
    const int64_t end = ticks * 60000;
    int64_t t = 1000;
    std::uniform_int_distribution<int> percent(0, 99);
    while (t < end) {
        const int kind = percent(random);
        if (kind < 55) {  // a letter or another key
            const int code = kind < 45 ? 'A' + percent(random) % 26 : 8 + percent(random) % 40;
            events.push_back({t, code, true, {}});
        } else if (kind < 62) {  // a click
            events.push_back({t, 1 + percent(random) % 2, true, {}});
        } else if (kind < 85) {  // the pointer, by hand or by a program
            events.push_back({t, 0, kind < 78, {percent(random) * 10, percent(random) * 7}});
        } else if (kind < 90) {  // a key held: repeats every 33 ms
            const int code = 'A' + percent(random) % 26;
            for (int i = 0; i < 20; ++i) events.push_back({t + i * 33000, code, true, {}});
            t += 20 * 33000;
        } else if (kind < 92 && stamps != Stamps::None && t > end / 3) {  // ten stamped, up to 4 s apart
            const int code = kind == 90 ? 1 : 'A' + percent(random) % 26;
            for (int64_t i = 0, stamp = stamps == Stamps::Fixed ? 40LL * 86400 * 1000000 : t; i < 10; ++i) {
                events.push_back({t, code, true, {}, stamp});
                stamp -= stamps == Stamps::GoingBack ? 1000 + percent(random) * 30000 : 0;
                t += 1000 + percent(random) * (stamps == Stamps::OfFirstPress ? 11000 : 40000);  // or in 1.1 s
            }
        }
        // The next event: often within the same tick or millisecond, sometimes hours later.
        const int gap = percent(random);
        if (gap < 30) t += 1 + percent(random) * 10;                  // microseconds
        else if (gap < 50) t += 60000 - t % 60000 + percent(random) % 3;  // just after a tick
        else if (gap < 90) t += 1000 + percent(random) * 3000;        // milliseconds
        else if (gap < 99) t += 1000000 + percent(random) * 50000;    // seconds
        else t += percent(random) < 10 ? 3600000000LL : 60000000LL;   // an hour or a minute of idle
    }
    return events;
}

TEST(KeyScanSkipping, CountsExactlyWhatAScanAtEveryTickCounts) {
    for (uint32_t day : {1u, 2u, 3u, 4u, 5u, 6u}) {
        std::mt19937 random(day);
        const int64_t ticks = 120000;  // two hours of ticks a day
        const std::vector<Session::Event> events = ADayOfInput(random, ticks, Stamps(day > 3 ? day - 3 : 0));
        // A clock that wraps in the middle of some of the days.
        const uint32_t clockStart = day % 2 ? 0xFFFFFFFFu - 3600u * 1000u : 12345u;
        Session skipping(events, true, clockStart), scanning(events, false, clockStart);
        SessionClock skippingClock(skipping), scanningClock(scanning);
        Statistics a, b;
        SamplerState sa, sb;
        for (int64_t tick = 1; tick <= ticks; ++tick) {
            skipping.AdvanceTo(tick * 60000);
            scanning.AdvanceTo(tick * 60000);
            SamplerTick(sa, a, skipping, skippingClock);
            SamplerTick(sb, b, scanning, scanningClock);
        }
        EXPECT_EQ(a.CurrentStat, b.CurrentStat) << "day " << day;
        EXPECT_GT(b.CurrentStat.KeysPressed, 1000) << "day " << day;
        EXPECT_GT(b.CurrentStat.LettersTyped, 100) << "day " << day;
        EXPECT_TRUE(day > 3 || skipping.queries * 2 < scanning.queries) << "day " << day;  // days 4-6 stop skipping
    }
}

// A repeat stamped like the press 3 s before: the check finds it, and from then on every tick scans.
TEST(KeyScanSkipping, ALoneRepeatWithTheSameStampTurnsTheSkipOff) {
    Session session({{1000000, 'Q', true, {}}, {4000000, 'Q', true, {}, 1000000}}, true, 777);
    SessionClock clock(session);
    Statistics stats;
    SamplerState state;
    int64_t queriesAt8s = 0;
    for (int64_t tick = 1; tick <= 200; ++tick) {  // 12 s
        session.AdvanceTo(tick * 60000);
        SamplerTick(state, stats, session, clock);
        if (tick == 134) queriesAt8s = session.queries;
    }
    EXPECT_EQ(stats.CurrentStat.KeysPressed, 2);
    EXPECT_EQ(session.queries - queriesAt8s, 66 * 255);
}

}  // namespace
}  // namespace qm
