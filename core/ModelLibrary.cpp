#include "core/ModelLibrary.h"

#include <algorithm>

#include "core/CircuitCode.h"
#include "core/ProgramState.h"
#include "core/SafeFile.h"
#include "core/TextHelpers.h"
#include "platform/Services.h"

namespace pellucor {

const std::vector<std::string>& SystemModelLibrary() {
    static const std::vector<std::string> codes = {
    "(C(CQ))", "(C(R(CR)))", "(C(R(LR)))", "(C(RW))", "(CR(CR)(CR)(CR)(CR))", "(CR(CR)(CR)(CR))",
    "(CR(CR)(CR))", "(CR(CR))", "(CR(LR)(LR)(LR)(LR))", "(CR(LR)(LR)(LR))", "(CR(LR)(LR))",
    "(CR(LR))", "(HC)", "(Q(RQ))", "(QR(RO)(RC)(RL)(RQ))", "(R(OR))", "LR(C(QR))", "LR(C(R(CR)))",
    "LR(C(R(Q(R(C(RW))))))", "LR(C(R(Q(R(LR)(CR)))))", "LR(C(R(QR)))(CR)", "LR(CR(QR)(LR)(CR))",
    "LR(CR(QR)(RW))", "LR(CR(QR))", "LR(CR)", "LR(CR)(QR)", "LR(Q(R(C(R(LR)(CR)))))",
    "LR(Q(R(CR)))", "LR(Q(R(LR)(CR)))", "LR(Q(R(QR)))", "LR(QR(CR)(LR)(CR))", "LR(QR(CR))",
    "LR(QR(LR)(CR))", "LR(QR)", "LR(QR)(CR)", "LR(QR)(QR)", "LRQ(CR)", "R(C(R(C(R(CR)))))",
    "R(C(R(C(RO))))", "R(C(R(C(RT))))", "R(C(R(C(RW))))", "R(C(R(CR)))", "R(C(R(Q(R(C(RW))))))",
    "R(C(R(Q(R(CR)))))", "R(C(R(Q(R(LR)(CR)))))", "R(C(R(Q(R(QR)))))", "R(C(R(Q(RW))))",
    "R(C(R(Q(RW))))(CR)", "R(C(R(QR)))(CR)", "R(C(RO))", "R(C(RT))", "R(C(RW))", "R(CR(CR)(CR))",
    "R(CR(CR))", "R(CR(QR)(LR)(CR))", "R(CR(QR)(QR))", "R(CR(QR))", "R(CR(QR))(CR)", "R(CR)",
    "R(CR)(CR)", "R(CR)(CR)(CR)", "R(CR)(CR)O", "R(CR)(CR)T", "R(CR)(CR)W", "R(CR)(QR)(CR)",
    "R(CR)O", "R(CR)T", "R(CR)W", "R(CRQ(RW))", "R(Q(R(C(R(C(RW))))))(CR)",
    "R(Q(R(C(R(LR)(CR)))))", "R(Q(R(CR)))", "R(Q(R(Q(R(CR)))))", "R(Q(R(Q(R(Q(R(CR)))))))",
    "R(Q(R(Q(RW))))", "R(Q(R(QR)(Q(RW))))", "R(Q(R(QR)))", "R(Q(RO))", "R(Q(RW))", "R(Q(RW))(CR)",
    "R(Q(RW))(QR)", "R(QR(CR)(CR))", "R(QR(CR)(LR)(OR))", "R(QR(CR)(OR))", "R(QR(CR)(RW))(CR)",
    "R(QR(LR)(LR))", "R(QR(LR))", "R(QR(OR))", "R(QR(QR)(CR))", "R(QR(QR)(OR))",
    "R(QR(QR)(QR)(CR))", "R(QR(QR))", "R(QR)", "R(QR)(QR)", "R(QR)(QR)(CR)", "R(QR)(R(OR))", "RB",
    "RG", "RI", "RJ", "RM", "RN", "RO", "RP", "RQ", "RT", "RU", "RV", "RX"
    };
    return codes;
}

bool ModelCodeLess(const std::string& a, const std::string& b) { return a < b; }

namespace {
std::string InProgramFolder(const char* name) {
    std::string folder = State().Folders.AppFolder;
    while (!folder.empty() && folder.back() == PathSep) folder.pop_back();
    return folder + PathSep + name;
}
}  // namespace

std::string UserLibraryPath() { return InProgramFolder(UserLibraryFileName); }
std::string ExtendedLibraryPath() { return InProgramFolder(ExtendedLibraryFileName); }

std::optional<std::vector<std::string>> ReadModelLibraryFile(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, &text)) return std::nullopt;
    std::vector<std::string> codes;
    for (std::string line : SplitTextLines(text)) {
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
        if (ValidateCdc(line)) codes.push_back(line);
    }
    std::stable_sort(codes.begin(), codes.end(), ModelCodeLess);
    return codes;
}

bool WriteModelLibraryFile(const std::string& path, const std::vector<std::string>& codes) {
    std::string text;
    for (const std::string& c : codes) text += c + "\r\n";
    std::string reason;
    if (WriteFileAtomically(path, text, &reason)) return true;
    ReportSaveFailure(path, reason);
    return false;
}

bool TakeModelCode(const std::string& text) {
    std::string code = text;
    if (!ValidateCdc(code)) {
        platform::ShowMessage(InvalidCodeText, InvalidCodeCaption);
        return false;
    }
    State().Circuit.Code = code;
    return true;
}

}  // namespace pellucor
