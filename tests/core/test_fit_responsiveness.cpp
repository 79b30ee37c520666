// A fit keeps the windows alive and its files right without paying for disk
// writes nobody reads: the message pump runs at short intervals even within a
// long minimisation, a stop request asked for there ends the run promptly,
// and the covariance file a fit renews after every minimisation is written
// when the run ends or when something reads it, with the newest estimate.
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <vector>

#include "core/Covariance.h"
#include "core/ResultFiles.h"
#include "core/SafeFile.h"
#include "fit_test_support.h"
#include "file_test_support.h"

using namespace pellucor;
using namespace pellucor::fittest;
namespace fs = std::filesystem;

namespace {

Cplx RCRQR(double w) {
    return 10.0 + 1.0 / (1.0 / 100.0 + J * w * 1e-6) + 1.0 / (1.0 / 200.0 + Cpe(1e-4, 0.8, w));
}

void LoadRCRQR() {
    LoadSpectrum(RCRQR, 60, 1e5, 0.1, 0.01);
    SelectModel("R(CR)(QR)", {30, 3e-6, 40, 3e-5, 0.8, 600});
}

// A pump that runs `onPump` at every call.
struct CallbackPump : platform::MessagePump {
    std::function<void()> onPump;
    int calls = 0;
    void ProcessOneMessage() override {
        ++calls;
        if (onPump) onPump();
    }
};

// The numbers of the "With units" table's first row as the file has them.
std::vector<std::string> FirstCovarianceRow(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line) && line != "With units, Cij ") {
    }
    std::getline(in, line);
    std::vector<std::string> numbers;
    for (size_t at = 5; at + 12 <= line.size(); at += 12) numbers.push_back(line.substr(at, 12));
    return numbers;
}

std::vector<std::string> FirstRowOfLastEstimate() {
    std::vector<std::string> numbers;
    for (int j = 1; j <= State().Params.ParamCount; ++j) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%12.2le", LastChiSqPerDof() * LastCovarianceMatrix()[1][j]);
        numbers.push_back(buf);
    }
    return numbers;
}

class FitResponsiveness : public FitTest {
protected:
    void SetUp() override {
        FitTest::SetUp();
        platform::Services sv = platform::services();
        sv.pump = &pump;
        platform::InstallServices(sv);
    }
    CallbackPump pump;
};

}  // namespace

TEST(HeldFileWrites, KeptUntilTheOutermostScopeEndsOrAReaderAsks) {
    const std::string dir = std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/held_file_writes/";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string a = dir + "a.var", b = dir + "b.var", missing = dir + "missing/c.var";
    std::vector<std::string> told;
    auto done = [&](const std::string& path, bool ok, const std::string& reason) {
        told.push_back(path + (ok ? " written" : " failed: " + reason));
    };

    EXPECT_FALSE(HoldFileWrite(a, "outside\n", done));  // no scope: the caller writes
    EXPECT_FALSE(fs::exists(a));
    {
        const HoldFileWrites outer;
        {
            const HoldFileWrites inner;
            EXPECT_TRUE(HoldFileWrite(a, "first\n", done));
            EXPECT_TRUE(HoldFileWrite(a, "second\n", done));
            EXPECT_TRUE(HoldFileWrite(b, "b\n", done));
            EXPECT_TRUE(HoldFileWrite(missing, "c\n", done));
        }
        // Only the outermost scope writes.
        EXPECT_FALSE(fs::exists(a));
        EXPECT_TRUE(told.empty());
        // A reader gets the newest text, from the disk.
        std::string text;
        ASSERT_TRUE(ReadWholeFile(a, &text));
        EXPECT_EQ(text, "second\n");
        EXPECT_EQ(filetest::Slurp(a), "second\n");
        EXPECT_EQ(told, std::vector<std::string>{a + " written"});
        EXPECT_FALSE(fs::exists(b));
        EXPECT_TRUE(HoldFileWrite(a, "third\n", done));
    }
    EXPECT_EQ(filetest::Slurp(a), "third\n");
    EXPECT_EQ(filetest::Slurp(b), "b\n");
    ASSERT_EQ(told.size(), 4u);
    EXPECT_EQ(told[1], b + " written");
    EXPECT_EQ(told[2].rfind(missing + " failed: ", 0), 0u) << told[2];
    EXPECT_EQ(told[3], a + " written");  // held again after the read
    // Nothing is held any more.
    EXPECT_FALSE(HoldFileWrite(a, "x\n", done));
    EXPECT_FALSE(fs::exists(a + ".tmp"));
}

// Whichever way a run ends (finished, stopped), the covariance file holds the
// run's last estimate; while it runs nothing is written, and a reader at any
// pump gets the newest estimate.
TEST_F(FitResponsiveness, TheCovarianceFileIsWrittenWhenTheRunEndsOrIsRead) {
    for (int stopAt : {-1, 3}) {
        SCOPED_TRACE(stopAt);
        FreshFitState();
        LoadRCRQR();
        StartRunClock();
        InitialEvaluation(State().Files.DataFileName);
        const std::string cov = CovarianceFilePath();
        ASSERT_TRUE(fs::exists(cov));  // the start-value evaluation ended: written
        fs::remove(cov);
        int existed = 0, pumps = 0;
        pump.onPump = [&] {
            ++pumps;
            if (fs::exists(cov)) ++existed;
            if (pumps == stopAt) State().Run.StopRequested = true;
        };
        const RunOutcome r = RunIterations(State().Files.DataFileName);
        EXPECT_EQ(r, stopAt < 0 ? RunOutcome::Finished : RunOutcome::Stopped);
        EXPECT_GE(pumps, 2);
        EXPECT_EQ(existed, 0);
        std::string text;
        ASSERT_TRUE(ReadWholeFile(cov, &text));
        EXPECT_EQ(FirstCovarianceRow(text), FirstRowOfLastEstimate());
        pump.onPump = nullptr;
    }

    // A command run by the pump that reads the file gets the newest estimate.
    FreshFitState();
    LoadRCRQR();
    StartRunClock();
    InitialEvaluation(State().Files.DataFileName);
    int reads = 0;
    pump.onPump = [&] {
        std::string text;
        ASSERT_TRUE(ReadWholeFile(CovarianceFilePath(), &text));
        EXPECT_EQ(FirstCovarianceRow(text), FirstRowOfLastEstimate());
        ++reads;
    };
    EXPECT_EQ(RunIterations(State().Files.DataFileName), RunOutcome::Finished);
    EXPECT_GE(reads, 2);
    pump.onPump = nullptr;
}

// With a clock that advances 1 ms per circuit evaluation, no more than 0.1 s
// of that time passes between two messages handled, also within the
// minimisations of the start-value evaluation and of every iteration.
TEST_F(FitResponsiveness, ThePumpRunsAtShortIntervalsWithinMinimisations) {
    LoadRCRQR();
    services.clock.monotonicSource = [] { return 1e-3 * static_cast<double>(CircuitEvaluationCount()); };
    const double start = 1e-3 * static_cast<double>(CircuitEvaluationCount());
    std::vector<double> at;
    pump.onPump = [&] { at.push_back(1e-3 * static_cast<double>(CircuitEvaluationCount())); };
    EXPECT_EQ(RunFullFit(), RunOutcome::Finished);
    const double end = 1e-3 * static_cast<double>(CircuitEvaluationCount());
    ASSERT_GT(end - start, 1.0);  // a run of more than a thousand evaluations
    at.push_back(end);
    double last = start, worst = 0.0;
    for (double t : at) {
        worst = std::max(worst, t - last);
        last = t;
    }
    EXPECT_LE(worst, 0.1);
    EXPECT_GT(static_cast<double>(pump.calls), (end - start) / 0.1);
}

// A stop asked for while a minimisation runs ends it within one pass of the
// simplex; the run then ends as a stopped run: no end block, no matrix files.
TEST_F(FitResponsiveness, AStopWithinAMinimisationEndsTheRunPromptly) {
    LoadRCRQR();
    services.clock.monotonicSource = [] { return 1e-3 * static_cast<double>(CircuitEvaluationCount()); };
    StartRunClock();
    InitialEvaluation(State().Files.DataFileName);
    const std::string mat = MinimaMatrixPath(State().Files.DataFileName, "R(CR)(QR)");
    fs::remove(mat);
    const long long before = CircuitEvaluationCount();
    long long atStop = -1;
    pump.calls = 0;
    pump.onPump = [&] {
        // The first message handled falls inside the iteration's minimisation.
        if (pump.calls == 1) {
            atStop = CircuitEvaluationCount();
            State().Run.StopRequested = true;
        }
    };
    EXPECT_EQ(RunIterations(State().Files.DataFileName), RunOutcome::Stopped);
    ASSERT_GT(atStop, before);
    // About 50 ms of the test clock after the last message of the start-value
    // evaluation, well before the first minimisation of the iteration ends.
    EXPECT_LE(atStop - before, 50 + 16);
    // At most the rest of one pass (reflection, contraction, shrinking the
    // other six vertices) and the evaluation of the best vertex.
    EXPECT_LE(CircuitEvaluationCount() - atStop, 2 + 6 + 1);
    EXPECT_EQ(State().History.IterationCount, 0);
    EXPECT_EQ(State().History.ElapsedText, "");
    EXPECT_FALSE(fs::exists(mat));
    for (int j = 1; j <= 6; ++j) EXPECT_TRUE(std::isfinite(State().Params.LnValue[j]));
}
