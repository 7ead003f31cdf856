#include "programme/progstate.h"

#include <algorithm>
#include <charconv>

#include "files/paths.h"
#include "files/safelines.h"
#include "text/tr.h"

namespace zelk {

namespace {

constexpr std::string_view kTag = "P1";

bool Int(std::string_view text, int& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

int NewestId(const std::vector<TFlight>& flights) {
    int id = 0;
    for (const TFlight& f : flights) id = std::max(id, f.Id);
    return id;
}

}  // namespace

TProgrammeState ReadProgrammeState(const std::filesystem::path& file) {
    TProgrammeState state;
    ForEachSafeLine(file, [&](std::string_view line) {
        const auto f = OpenSealedLine(line, kTag);
        if (!f || f->size() != 9) return;
        TProgrammeState s;
        auto path = UnescapeField((*f)[1]), name = UnescapeField((*f)[2]), mission = UnescapeField((*f)[8]);
        if (!path || !name || !mission || !Int((*f)[3], s.Step) || !Int((*f)[4], s.Steps) ||
            !Int((*f)[6], s.AdvanceAfter) || !Int((*f)[7], s.Since) || s.Step < 1 || s.Step > std::max(1, s.Steps))
            return;
        s.On = (*f)[0] == "1";
        s.File = PathFromUtf8(*path);
        s.Name = *name;
        s.Held = (*f)[5] == "1";
        s.Mission = *mission;
        state = std::move(s);
    });
    return state;
}

void WriteProgrammeState(const std::filesystem::path& file, const TProgrammeState& s) {
    AppendSafeLine(file,
                   SealLine(kTag, {s.On ? "1" : "0", EscapeField(PathToUtf8(s.File)), EscapeField(s.Name),
                                   std::to_string(s.Step), std::to_string(s.Steps), s.Held ? "1" : "0",
                                   std::to_string(s.AdvanceAfter), std::to_string(s.Since), EscapeField(s.Mission)}),
                   Tr("programme", "не удалось открыть файл состояния программы для записи"),
                   Tr("programme", "запись состояния программы не удалась"));
}

TStepJudgement JudgeStep(const TProgrammeState& state, const std::vector<TFlight>& flights) {
    std::vector<const TFlight*> counted;
    for (const TFlight& f : flights)
        if (f.Id > state.Since && f.EndSeen && f.Mission == state.Mission) counted.push_back(&f);
    int run = 0;
    for (auto it = counted.rbegin(); it != counted.rend() && (*it)->Result == TFlightResult::Yes; ++it) ++run;
    const std::string runText =
        Fill(Tr("programme", "«да» подряд: %1 из %2"), {std::to_string(run), std::to_string(state.AdvanceAfter)});
    if (state.Held) return {false, Tr("programme", "шаг удержан пилотом") + "; " + runText};
    if (state.Step >= state.Steps) return {false, Tr("programme", "последний шаг программы") + "; " + runText};
    if (counted.empty()) return {false, Tr("programme", "на этом шаге ещё нет полётов")};
    if (counted.back()->Result == TFlightResult::None)
        return {false,
                Fill(Tr("programme", "полёт %1 ждёт отметки"), {std::to_string(counted.back()->Id)}) + "; " + runText};
    if (state.AdvanceAfter > 0 && run >= state.AdvanceAfter)
        return {true, Fill(Tr("programme", "%1 «да» подряд: следующий шаг"), {std::to_string(run)})};
    return {false, runText};
}

bool AdvanceIfDue(TProgrammeState& state, const std::vector<TFlight>& flights) {
    if (!state.On || !JudgeStep(state, flights).Advance) return false;
    ++state.Step;
    state.Since = NewestId(flights);
    return true;
}

bool MoveStep(TProgrammeState& state, int delta, const std::vector<TFlight>& flights) {
    const int step = state.Step + delta;
    if (!state.On || step < 1 || step > state.Steps) return false;
    state.Step = step;
    state.Since = NewestId(flights);
    return true;
}

std::string ProgrammeLine(const TProgrammeState& state, const std::vector<TFlight>& flights,
                          const std::string& stepName) {
    if (!state.On) return Tr("programme", "Программа подготовки не начата.");
    const std::string why = JudgeStep(state, flights).Why;
    if (!stepName.empty())
        return Fill(Tr("programme", "Программа «%1»: шаг %2 из %3, «%4»; %5."),
                    {state.Name, std::to_string(state.Step), std::to_string(state.Steps), stepName, why});
    return Fill(Tr("programme", "Программа «%1»: шаг %2 из %3; %4."),
                {state.Name, std::to_string(state.Step), std::to_string(state.Steps), why});
}

}  // namespace zelk
