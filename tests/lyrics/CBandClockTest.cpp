#include "lyrics/CBandClock.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {
const LONGLONG kFrequency = 10000000;  // 100 ns a count, as Wine's and most Windows' counters
LONGLONG At(double dMs) {
    return static_cast<LONGLONG>(dMs * kFrequency / 1000);
}
}  // namespace

// Each case: the clock Started, Read or Held at positions and times in ms, then asked at a time.
TEST(BandClock, CarriesReadingsForwardAndStepsOnlyWhenItMust) {
    struct Case {
        const char* what;
        std::vector<std::tuple<char, DWORD, double>> steps;
        double dAtMs, dWant;
    };
    const Case cases[] = {
        {"steady readings", {{'S', 1000, 0}, {'R', 1200, 200}, {'R', 1400, 400}}, 500, 1500},
        {"an early reading is caught up with", {{'S', 1000, 0}, {'R', 1300, 200}}, 300, 1400},
        {"a late reading does not pull it back", {{'S', 1000, 0}, {'R', 1000, 200}, {'R', 1100, 400}}, 500, 1500},
        {"readings all behind slow it", {{'S', 1000, 0}, {'R', 2700, 2100}}, 2200, 3120},
        {"a seek starts from the device", {{'S', 1000, 0}, {'R', 1200, 200}, {'S', 500, 300}}, 400, 600},
        {"paused, it stands still", {{'S', 1000, 0}, {'H', 0, 500}}, 3000, 1500},
        {"a resume starts from the device", {{'S', 1000, 0}, {'H', 0, 500}, {'S', 1480, 2000}}, 2100, 1580},
        {"a new song", {{'S', 60000, 0}, {'S', 0, 1000}}, 1100, 100},
        {"a jump ahead", {{'S', 1000, 0}, {'R', 5000, 200}}, 300, 5100},
        {"a jump back", {{'S', 1000, 0}, {'R', 1200, 200}, {'R', 100, 400}}, 500, 200},
    };
    for (const Case& c : cases) {
        CBandClock clock(kFrequency);
        for (const auto& [op, dwPosition, dAtMs] : c.steps) {
            if (op == 'H')
                clock.Hold(At(dAtMs));
            else if (op == 'S')
                clock.Start(dwPosition, At(dAtMs));
            else
                clock.Read(dwPosition, At(dAtMs));
        }
        EXPECT_NEAR(c.dWant, clock.Now(At(c.dAtMs)), 0.5) << c.what;
    }
}

// Read at irregular times, or every 200 ms in a fixed phase to its steps, where the freshest
// reading alone would stay up to 67 ms behind.
TEST(BandClock, FollowsADeviceThatStepsInBuffersBetweenItsReadings) {
    for (const double dPhase : {-1.0, 40.0, 65.0}) {
        CBandClock clock(kFrequency);
        clock.Start(0, At(0));
        for (int k = 1; k < 50; ++k) {
            const double t = dPhase < 0 ? k * 200 + k * 37 % 50 : k * 200 + dPhase;
            clock.Read(static_cast<DWORD>(t / 333) * 333, At(t));
            if (t > 3000) {
                EXPECT_NEAR(t, clock.Now(At(t + 30)) - 30, 35.0) << "at " << t << " ms, phase " << dPhase;
            }
        }
    }
}

TEST(BandClock, FollowStartsOnAMovedCountReadsNewReadingsAndHoldsWhenNotPlaying) {
    CBandClock clock(kFrequency);
    clock.Follow(700, At(100), 1, true, At(150));
    clock.Follow(900, At(500), 1, true, At(500));  // stale: read, not started from
    EXPECT_NEAR(1200.0, clock.Now(At(600)), 0.5);
    clock.Follow(900, At(500), 1, false, At(700));
    EXPECT_NEAR(1300.0, clock.Now(At(2000)), 0.5);
    clock.Follow(400, At(2000), 2, true, At(2000));  // sought back while paused, then resumed
    EXPECT_NEAR(500.0, clock.Now(At(2100)), 0.5);
}
