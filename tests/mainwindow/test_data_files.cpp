// Data files of an electrochemist's dielectric work in Lumarest: files the
// save commands write are opened or read again (a new sample area) with the
// read mode of the moment and must give back the spectrum in memory; a
// command with nothing to write writes nothing and renames nothing.
#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "mainwindow/MainRoadFixture.h"

using namespace pellucor;
using namespace pellucor::mainwindow;
using namespace pellucor::testing_support;
namespace fs = std::filesystem;
using platform::MsgResult;

namespace {

class DataFilesTest : public MainRoadTest {
protected:
    // The rows against the circuit: Z' and Z'' (Z'' positive, capacitive) times `scale`.
    static void ExpectRows(const Rcr& truth, double scale, const std::string& what, int points = 40) {
        const SpectrumBlock& sp = State().Spectrum;
        ASSERT_EQ(sp.PointCount, points) << what;
        for (int k = 1; k <= sp.PointCount; ++k) {
            const auto z = truth.Z(sp.Frequency[k]);
            EXPECT_NEAR(sp.ZReal[k], scale * z.real(), 1e-6 * scale * std::abs(z)) << what << ", point " << k;
            EXPECT_NEAR(sp.ZImag[k], -scale * z.imag(), 1e-6 * scale * std::abs(z)) << what << ", point " << k;
        }
    }

    // A saved data file holds impedances (Z'' positive, capacitive), whatever
    // the read mode: every row against the circuit's Z times `scale`.
    static void ExpectImpedanceFile(const fs::path& file, const Rcr& truth, double scale, const std::string& what) {
        std::ifstream in(file);
        std::string line;
        int rows = 0;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            double freq = 0, zr = 0, zi = 0;
            if (!(fields >> freq >> zr >> zi)) continue;  // the header
            const auto z = truth.Z(freq);
            EXPECT_NEAR(zr, scale * z.real(), 2e-6 * scale * std::abs(z)) << what << ", f = " << freq;
            EXPECT_NEAR(zi, -scale * z.imag(), 2e-6 * scale * std::abs(z)) << what << ", f = " << freq;
            ++rows;
        }
        EXPECT_GT(rows, 0) << what;
    }

    // The capacitances C' = -Z''/(w |Z|^2), C'' = Z'/(w |Z|^2) of the circuit,
    // as a dielectric instrument writes them: f, C', C'' per line.
    fs::path WriteRcrCapacitances(const Rcr& c, const std::string& file, int points = 40) {
        const fs::path p = root / "data" / file;
        std::ofstream out(p);
        out.precision(12);
        for (int k = 0; k < points; ++k) {
            const double f = 1e5 * std::pow(10.0, -k / 6.0);
            const double w = 2.0 * M_PI * f;
            const auto z = c.Z(f);
            const double m2 = std::norm(z);
            out << std::scientific << f << ' ' << -z.imag() / (w * m2) << ' ' << z.real() / (w * m2) << "\n";
        }
        return p;
    }
};

TEST_F(DataFilesTest, ANewAreaAfterSavingConvertedDataScalesTheSameData) {
    const Rcr truth{10.0, 1.0e-5, 100.0};
    fs::path data;
    TMainForm& f = StartWithOpenedData("data_files_converted", truth, "cell1.txt", data);
    f.Dielectricsystem1Click();
    ExpectRows(truth, 1.0, "opened");

    const fs::path converted = root / "data" / "cell1 C.txt";
    services.fileDialogs.AnswerSave(converted.string());
    f.SaveasDielectric1Click();
    ASSERT_TRUE(fs::is_regular_file(converted));
    ExpectRows(truth, 1.0, "converted saved");

    services.messages.clear();
    EnterArea(f, "2");
    EXPECT_TRUE(services.messages.transcript().empty());
    ExpectRows(truth, 2.0, "area 2 after converted saved");
}

TEST_F(DataFilesTest, ANewAreaAfterSavingCapacitanceDataAsImpedancesScalesTheSameData) {
    const Rcr truth{10.0, 1.0e-5, 100.0};
    MakeProgramFolder("data_files_cdata");
    const fs::path cfile = WriteRcrCapacitances(truth, "film.txt");
    TMainForm& f = StartLumarest();
    f.Dielectricsystem1Click();
    f.DielectricData1Click();
    ASSERT_TRUE(State().Run.ReadCData);
    services.fileDialogs.AnswerOpen(cfile.string());
    f.Open1Click();
    ASSERT_TRUE(State().Run.DataLoaded);
    ExpectRows(truth, 1.0, "opened");

    services.messages.Answer(MsgResult::Yes);
    f.SaveImpedaneData1Click();
    const fs::path saved = root / "data/export data/film.dat";
    ASSERT_TRUE(fs::is_regular_file(saved));
    ExpectImpedanceFile(saved, truth, 1.0, "file saved");
    ExpectRows(truth, 1.0, "saved");

    services.messages.clear();
    EnterArea(f, "2");
    EXPECT_TRUE(services.messages.transcript().empty());
    // Per area, as for impedance data: the impedances times the area.
    ExpectRows(truth, 2.0, "area 2 after saved");

    // Saved again in per-area units, the file holds the unscaled spectrum,
    // so a third area scales the same data once more.
    services.messages.Answer(MsgResult::Yes);
    f.SaveImpedaneData1Click();
    ExpectImpedanceFile(saved, truth, 1.0, "file saved at area 2");
    ExpectRows(truth, 2.0, "saved at area 2");
    EnterArea(f, "4");
    ExpectRows(truth, 4.0, "area 4 after saved at area 2");

    // Opened later as impedance data (the mode a new session starts in).
    f.ImpedanceData1Click();
    ASSERT_FALSE(State().Run.ReadCData);
    services.fileDialogs.AnswerOpen(saved.string());
    f.Open1Click();
    ExpectRows(truth, 1.0, "opened as impedance data");
}

// A simulation saved as data is opened at once as the data: while
// capacitance data are read, the file of impedances must still be read as
// impedances, then and when it is read again.
TEST_F(DataFilesTest, ASimulationSavedWhileCapacitanceDataAreReadOpensAsSimulated) {
    MakeProgramFolder("data_files_simulation_cdata");
    TMainForm& f = StartLumarest();
    f.Dielectricsystem1Click();
    f.DielectricData1Click();
    ASSERT_TRUE(State().Run.ReadCData);
    SimulateRcrWithReversedSign(f, 1.0);
    ASSERT_TRUE(State().Run.SimulatedResults);

    services.messages.clear();
    services.messages.Answer(MsgResult::Yes);
    f.SaveImpedaneData1Click();
    ASSERT_TRUE(State().Run.DataLoaded);
    ASSERT_TRUE(fs::is_regular_file(root / "data/simulation data/R(CR).sim"));
    ExpectSimulatedRcr("opened at once");

    // Read again under an area: the impedances per area, times 2.
    EnterArea(f, "2");
    const Rcr c = SimulatedRcr();
    const SpectrumBlock& sp = State().Spectrum;
    ASSERT_GT(sp.PointCount, 40);
    for (int i = 1; i <= sp.PointCount; ++i) {
        const auto z = c.Z(sp.Frequency[i]);
        EXPECT_NEAR(sp.ZReal[i], 2.0 * z.real(), 2e-6 * std::abs(z)) << "area 2, point " << i;
        EXPECT_NEAR(sp.ZImag[i], -2.0 * z.imag(), 2e-6 * std::abs(z)) << "area 2, point " << i;
    }
}

// Simulate mode chosen with start values that cannot be used computes
// nothing, and the opened data stay on show. Saving them then must not write
// a table without rows (or the stale calculated rows converted) and name it
// as the data file.
TEST_F(DataFilesTest, NothingIsSavedAsDataAfterARefusedSimulation) {
    for (const bool converted : {false, true}) {
        const std::string what = converted ? "converted" : "impedance data";
        fs::path data;
        TMainForm& f = StartWithOpenedData("data_files_refused_simulation", Rcr{10, 1e-5, 100}, "cell8.txt", data);
        f.Dielectricsystem1Click();
        services.messages.clear();
        f.SimulateCurrentModel(false);
        ASSERT_TRUE(State().Run.SimulateMode) << what;
        ASSERT_FALSE(State().Run.ResultsComputed) << what;
        ASSERT_TRUE(State().Run.DataLoaded) << what;

        services.messages.clear();
        const fs::path target = converted ? root / "data" / "cell8 C.txt" : root / "data/export data/cell8.dat";
        services.messages.Answer(MsgResult::Yes);
        services.fileDialogs.AnswerSave(target.string());
        if (converted)
            f.SaveasDielectric1Click();
        else
            f.SaveImpedaneData1Click();
        ASSERT_EQ(services.messages.transcript().size(), 1u) << what;
        EXPECT_EQ(services.messages.transcript()[0].text, "No simulated data.") << what;
        EXPECT_FALSE(fs::exists(target)) << what;
        EXPECT_EQ(State().Files.DataFileName, data.string()) << what;
        form.reset();
    }
}

// A quick simulation names the data file as the simulation would be saved,
// before anything is written. An older simulation saved under that name must
// not take the place of the opened data when a new area reads them again.
TEST_F(DataFilesTest, ANewAreaAfterAQuickSimulationReadsTheOpenedDataNotAnOlderSimulation) {
    const Rcr truth{10.0, 1.0e-5, 100.0};
    fs::path data;
    TMainForm& f = StartWithOpenedData("data_files_quick_simulation", truth, "cell9.txt", data);
    fs::create_directories(root / "data/simulation data");
    WriteRcrData(Rcr{1.0, 1.0e-6, 5.0}, "simulation data/R(CR).sim");
    // As the quick simulator starts it: code and values, then simulate.
    State().Circuit.Code = "R(CR)";
    f.PrepareCurrentModel();
    auto* par = dynamic_cast<fitwin::TParForm*>(f.FindWindow("ParForm"));
    ASSERT_NE(par, nullptr);
    par->SetStartText(1, "10");
    par->SetStartText(2, "1E-4");
    par->SetStartText(3, "100");
    State().Run.ParamsValid = true;
    f.SimulateCurrentModel(true);
    ASSERT_TRUE(State().Run.SimulatedResults);
    ASSERT_TRUE(State().Run.DataLoaded);
    ASSERT_EQ(State().Files.DataFileName, (root / "data/simulation data/R(CR).sim").string());

    services.messages.clear();
    EnterArea(f, "2");
    EXPECT_TRUE(services.messages.transcript().empty());
    ExpectRows(truth, 2.0, "area 2 after a quick simulation");
}

}  // namespace

namespace {

// Twenty points of the circuit as a dielectric instrument copies them:
// f, C' = -Z''/(w |Z|^2), C'' = Z'/(w |Z|^2) per line.
std::string ClipboardRcrCapacitances(const Rcr& c) {
    std::ostringstream text;
    text.precision(12);
    for (int k = 0; k < 20; ++k) {
        const double fr = 1e4 * std::pow(10.0, -k / 4.0);
        const double w = 2.0 * M_PI * fr;
        const auto z = c.Z(fr);
        const double m2 = std::norm(z);
        text << std::scientific << fr << ' ' << -z.imag() / (w * m2) << ' ' << z.real() / (w * m2) << "\r\n";
    }
    return text.str();
}

}  // namespace

// The paste window writes the clipboard into the data folder's unknown.txt.
// When the impedance data were saved under that very name before, the file
// now holds what the person copied, which is read in the mode they chose:
// capacitances here, not the impedances the program had written there.
TEST_F(DataFilesTest, CapacitancesPastedOverASavedImpedanceFileAreReadAsCapacitances) {
    MakeProgramFolder("data_files_paste_over_saved");
    TMainForm& f = StartLumarest();
    f.Dielectricsystem1Click();
    f.DielectricData1Click();
    ASSERT_TRUE(State().Run.ReadCData);
    const Rcr first{10.0, 1.0e-5, 100.0};
    PasteThroughWindow(f, ClipboardRcrCapacitances(first));
    const fs::path unknown = root / "data" / "unknown.txt";
    ASSERT_EQ(State().Files.DataFileName, unknown.string());
    ExpectRows(first, 1.0, "first paste", 20);

    // Saved as impedance data under the paste's own name.
    services.messages.Answer(MsgResult::No);
    services.fileDialogs.AnswerSave(unknown.string());
    f.SaveImpedaneData1Click();
    ExpectImpedanceFile(unknown, first, 1.0, "saved over the paste's file");

    const Rcr second{5.0, 2.0e-6, 50.0};
    services.messages.clear();
    PasteThroughWindow(f, ClipboardRcrCapacitances(second));
    EXPECT_TRUE(services.messages.transcript().empty());
    ExpectRows(second, 1.0, "second paste", 20);
    // A new area reads the same pasted capacitances again.
    EnterArea(f, "2");
    ExpectRows(second, 2.0, "second paste, area 2", 20);
}
