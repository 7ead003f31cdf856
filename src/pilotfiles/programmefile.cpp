#include "programmefile.h"

#include "conditionsfile.h"
#include "files/paths.h"
#include "files/savefs.h"
#include "text/tr.h"
#include "tomltext.h"

namespace zelk {

namespace {

// A programme is a page of text, not a data set.
constexpr std::uintmax_t kMaxProgrammeFileSize = std::uintmax_t{1} << 20;

}  // namespace

TProgramme ReadProgrammeFile(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw TFileError(file, TFileError::kNoPosition, Tr("pilotfiles", "файла программы нет"));
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || size > kMaxProgrammeFileSize)
        throw TFileError(file, TFileError::kNoPosition, Tr("pilotfiles", "файл больше 1 МБ: это не программа"));
    TSaveFileSystem disk;
    std::string text;
    if (!disk.ReadFile(file, text))
        throw TFileError(file, TFileError::kNoPosition, Tr("pilotfiles", "не удалось прочитать файл программы"));
    const toml::table root = ParseToml(text, file);
    CheckTomlKeys(root, {"name", "advance_after", "step"}, file);

    TProgramme programme;
    if (const toml::node* name = root.get("name")) {
        if (!name->is_string()) throw TPilotFileError(file, name->source(), Tr("pilotfiles", "name: нужен текст"));
        programme.Name = TomlText(*name);
    }
    if (programme.Name.empty()) programme.Name = PathToUtf8(file.stem());
    if (const toml::node* advance = root.get("advance_after")) {
        const auto* value = advance->as_integer();
        if (value == nullptr || value->get() < 0 || value->get() > 100)
            throw TPilotFileError(
                file, advance->source(),
                Tr("pilotfiles", "advance_after: нужно целое от 0 до 100 (0: шаги меняет только пилот)"));
        programme.AdvanceAfter = static_cast<int>(value->get());
    }
    const toml::node* steps = root.get("step");
    const toml::array* array = steps == nullptr ? nullptr : steps->as_array();
    if (array == nullptr || !array->is_array_of_tables() || array->empty())
        throw TPilotFileError(file, steps == nullptr ? root.source() : steps->source(),
                              Tr("pilotfiles", "шаги программы пишутся как таблицы [[step]], хотя бы одна"));
    for (const toml::node& item : *array) {
        const toml::table& table = *item.as_table();
        TProgrammeStep step;
        step.Conditions = ReadConditions(table, file, {"name"});
        if (const toml::node* name = table.get("name")) {
            if (!name->is_string()) throw TPilotFileError(file, name->source(), Tr("pilotfiles", "name: нужен текст"));
            step.Name = TomlText(*name);
        }
        programme.Steps.push_back(std::move(step));
    }
    return programme;
}

void PrepareProgrammeMission(TMission& mission, const TRefData& ref, const TProgrammeState& state, std::uint64_t seed) {
    const TProgramme programme = ReadProgrammeFile(state.File);
    ApplyProgrammeStep(mission, programme, state.Step, ref, seed);
}

std::string ProgrammeStepName(const TProgrammeState& state) {
    if (!state.On) return {};
    try {
        const TProgramme programme = ReadProgrammeFile(state.File);
        if (state.Step >= 1 && state.Step <= static_cast<int>(programme.Steps.size()))
            return programme.Steps[static_cast<std::size_t>(state.Step - 1)].Name;
    } catch (const std::exception&) {
        // The line is shown without the name; the fault is told where the file is used.
    }
    return {};
}

}  // namespace zelk
