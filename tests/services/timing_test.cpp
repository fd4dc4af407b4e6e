// The two frame counters with the performance counter and the tick count fed by the test.
#include "harness.h"
#include "services/test_seams.h"

namespace {

LONGLONG s_frequency = 0;
LONGLONG s_counter = 0;
bool s_counterWorks = true;
DWORD s_ticks = 0;

BOOL WINAPI FedFrequency(LARGE_INTEGER* value) {
    value->QuadPart = s_frequency;
    return s_frequency != 0;
}
// A failing counter leaves the caller's value as it was, as the system's does.
BOOL WINAPI FedCounter(LARGE_INTEGER* value) {
    if (!s_counterWorks) {
        return FALSE;
    }
    value->QuadPart = s_counter;
    return TRUE;
}
DWORD WINAPI FedTicks() {
    return s_ticks;
}

const std::vector<std::string> kNoTimerMessage = {"The system does not support high resolution timing", "\n"};

class CounterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetCounters();
        s_frequency = 0;
        s_counter = 0;
        s_counterWorks = true;
        s_ticks = 0;
        SetTimerSources(FedFrequency, FedCounter, FedTicks);
    }
    void TearDown() override {
        SetTimerSources(nullptr, nullptr, nullptr);
        ResetCounters();
    }
    static void ResetCounters() {
        g_PerfFrequency.QuadPart = 0;
        g_PerfLastCount.QuadPart = 0;
        g_FrameCount = 0;
        g_FPS = 0;
        g_TickFrameCount = 0;
        g_TickLastUpdate = 0;
        g_TickFPS = 0.0f;
    }
};

TEST_F(CounterTest, InitTimerReportsAMissingHighResolutionCounter) {
    DebugOutputRecorder recorder;
    s_frequency = 3579545;
    EXPECT_EQ(InitTimer(), S_OK);
    EXPECT_EQ(g_PerfFrequency.QuadPart, 3579545);
    EXPECT_TRUE(recorder.Outputs().empty());

    s_frequency = 0;
    EXPECT_EQ(InitTimer(), E_FAIL);
    EXPECT_EQ(g_PerfFrequency.QuadPart, 0);
    EXPECT_EQ(recorder.Outputs(), kNoTimerMessage) << "two writes, without the ERROR prefix";

    SetTimerSources(nullptr, nullptr, nullptr);
    EXPECT_EQ(InitTimer(), S_OK) << "this system has a high-resolution counter";
    EXPECT_GT(g_PerfFrequency.QuadPart, 0);
}

TEST_F(CounterTest, CountFrameClosesAPeriodAtOnceThenAfterEachFullSecond) {
    s_frequency = 1000;
    ASSERT_EQ(InitTimer(), S_OK);
    s_counter = 5000;
    CountFrame();
    EXPECT_EQ(g_FPS, 1) << "the last count is 0: the first frame closes a period";
    EXPECT_EQ(g_FrameCount, 0);
    EXPECT_EQ(g_PerfLastCount.QuadPart, 5000);

    for (s_counter = 5001; s_counter < 5060; ++s_counter) {
        CountFrame();
        ASSERT_EQ(g_FPS, 1);
    }
    EXPECT_EQ(g_FrameCount, 59);
    s_counter = 6000;
    CountFrame();
    EXPECT_EQ(g_FPS, 60) << "the frame that completes the second is counted";
    EXPECT_EQ(g_FrameCount, 0);

    for (int i = 0; i < 30; ++i) {
        s_counter = 6001 + i;
        CountFrame();
    }
    s_counter = 7500;
    CountFrame();
    EXPECT_EQ(g_FPS, 31);
    EXPECT_EQ(g_PerfLastCount.QuadPart, 7500);

    s_counter = 7000; // behind the last update: no period closes
    CountFrame();
    EXPECT_EQ(g_FPS, 31);
    EXPECT_EQ(g_FrameCount, 1);
}

TEST_F(CounterTest, WithoutInitTimerEveryFrameClosesAPeriod) {
    for (s_counter = 100; s_counter < 110; ++s_counter) {
        CountFrame();
        ASSERT_EQ(g_FPS, 1);
        ASSERT_EQ(g_FrameCount, 0);
    }
}

TEST_F(CounterTest, ACounterThatCannotBeReadIsReportedOnEveryFrameAndCountsAsZero) {
    s_frequency = 1000;
    ASSERT_EQ(InitTimer(), S_OK);
    s_counterWorks = false;
    DebugOutputRecorder recorder;
    CountFrame();
    CountFrame();
    CountFrame();
    std::vector<std::string> expected;
    for (int i = 0; i < 3; ++i) {
        expected.insert(expected.end(), kNoTimerMessage.begin(), kNoTimerMessage.end());
    }
    EXPECT_EQ(recorder.Outputs(), expected);
    EXPECT_EQ(g_FrameCount, 3) << "zero is never a second after the last count of zero";
    EXPECT_EQ(g_FPS, 0);
}

TEST_F(CounterTest, GetFPSChangesOnlyWhenASecondHasPassed) {
    s_ticks = 123456;
    EXPECT_NEAR(GetFPS(), 1000.0 / 123456, 1e-7) << "one frame over the time since the system started";
    EXPECT_EQ(g_TickLastUpdate, 123456u);
    const float first = g_TickFPS;

    for (int i = 1; i < 60; ++i) {
        s_ticks = 123456 + i * 16;
        ASSERT_EQ(GetFPS(), first) << "call " << i;
    }
    s_ticks = 123456 + 1000;
    EXPECT_EQ(GetFPS(), 60.0f) << "the 60th call, exactly a second later";
    EXPECT_EQ(g_TickFrameCount, 0);

    s_ticks += 2000; // one frame over two seconds
    EXPECT_EQ(GetFPS(), 0.5f);
}

TEST_F(CounterTest, GetFPSMeasuresAcrossTheTickCountWrapButNotBackwards) {
    const float twoFramesOver1999ms = static_cast<float>(2 * 1000.0 / 1999);
    g_TickLastUpdate = 0xFFFFFE00 - 1000;
    s_ticks = 0xFFFFFE00;
    EXPECT_EQ(GetFPS(), 1.0f);
    s_ticks = 0xFFFFFF00;
    EXPECT_EQ(GetFPS(), 1.0f);
    s_ticks = 0xFFFFFE00 + 1999; // wrapped to 0x5CF
    EXPECT_EQ(GetFPS(), twoFramesOver1999ms);
    EXPECT_EQ(g_TickLastUpdate, 0x5CFu);

    s_ticks = 0x5CF - 5000; // a reading behind the last update counts as no time at all
    EXPECT_EQ(GetFPS(), twoFramesOver1999ms);
    EXPECT_EQ(g_TickLastUpdate, 0x5CFu);
    EXPECT_EQ(g_TickFrameCount, 1);
}

} // namespace
