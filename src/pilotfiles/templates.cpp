#include "templates.h"

#include <algorithm>
#include <system_error>

#include "files/paths.h"
#include "files/savefs.h"
#include "text/tr.h"

namespace zelk {

namespace {

// Far beyond any number of templates a pilot keeps; a larger file is not one.
constexpr std::uintmax_t kMaxTemplatesFileSize = 4u << 20;

}  // namespace

std::filesystem::path TemplatesFileBeside(const std::filesystem::path& journalFile) {
    return journalFile.parent_path() / kTemplatesFileName;
}

std::vector<TTemplate> ReadTemplates(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return {};
    const auto size = std::filesystem::file_size(file, ec);
    if (!ec && size > kMaxTemplatesFileSize)
        throw TFileError(file, TFileError::kNoPosition,
                         Fill(Tr("pilotfiles", "файл больше %1 МБ: это не файл шаблонов"),
                              {std::to_string(kMaxTemplatesFileSize >> 20)}));
    TSaveFileSystem disk;
    std::string text;
    if (!disk.ReadFile(file, text)) return {};
    const toml::table root = ParseToml(text, file);
    CheckTomlKeys(root, {"template"}, file);
    std::vector<TTemplate> templates;
    const toml::node* list = root.get("template");
    if (list == nullptr) return templates;
    const toml::array* array = list->as_array();
    if (array == nullptr || !array->is_array_of_tables())
        throw TPilotFileError(file, list->source(), Tr("pilotfiles", "шаблоны пишутся как таблицы [[template]]"));
    for (const toml::node& item : *array) {
        const toml::table& table = *item.as_table();
        const toml::node* name = table.get("name");
        if (name == nullptr || !name->is_string())
            throw TPilotFileError(file, table.source(), Tr("pilotfiles", "у шаблона нет имени (name = \"...\")"));
        TTemplate t;
        t.Name = TomlText(*name);
        if (const std::string why = TemplateNameError(t.Name); !why.empty())
            throw TPilotFileError(file, name->source(), why);
        if (FindTemplate(templates, t.Name) != nullptr)
            throw TPilotFileError(file, name->source(),
                                  Fill(Tr("pilotfiles", "второй шаблон с именем «%1»"), {t.Name}));
        t.Conditions = ReadConditions(table, file, {"name"});
        templates.push_back(std::move(t));
    }
    return templates;
}

std::string TemplatesToToml(const std::vector<TTemplate>& templates) {
    std::string out = Tr("pilotfiles",
                         "# Шаблоны условий ZELK. Ключи названы как параметры zelk-cli new; условие\n"
                         "# «любая» (или пропущенное) выбирается для каждого задания случайно.\n");
    for (const TTemplate& t : templates)
        out += "\n[[template]]\nname = " + TomlQuoted(t.Name) + "\n" + ConditionsToToml(t.Conditions);
    return out;
}

void WriteTemplates(const std::filesystem::path& file, const std::vector<TTemplate>& templates) {
    TSaveFileSystem disk;
    WriteFileAtomically(disk, file, TemplatesToToml(templates));
}

const TTemplate* FindTemplate(const std::vector<TTemplate>& templates, std::string_view name) {
    const auto at =
        std::find_if(templates.begin(), templates.end(), [&](const TTemplate& t) { return t.Name == name; });
    return at == templates.end() ? nullptr : &*at;
}

std::string TemplateNameError(std::string_view name) {
    if (name.find_first_not_of(" \t") == std::string_view::npos) return Tr("pilotfiles", "пустое имя шаблона");
    if (name.size() > 200) return Tr("pilotfiles", "имя шаблона длиннее 200 байт");
    for (const char ch : name)
        if (static_cast<unsigned char>(ch) < 0x20)
            return Tr("pilotfiles", "в имени шаблона управляющий символ или перевод строки");
    // Written into the file as it is: a name that is no UTF-8 would make the
    // whole file unreadable.
    if (!IsUtf8(name)) return Tr("pilotfiles", "имя шаблона не в кодировке UTF-8");
    return {};
}

}  // namespace zelk
