#include "doctor/doctor.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <random>
#include <string_view>
#include <system_error>

#include "data/codepage.h"
#include "data/layout.h"
#include "files/error.h"
#include "data/refdata.h"
#include "files/paths.h"
#include "text/tr.h"
#include "eventlog/logexaminer.h"
#include "library/commands.h"
#include "mission/mission.h"
#include "library/journal.h"
#include "library/scan.h"

namespace zelk {

namespace fs = std::filesystem;

namespace {

// ------------------------------------------------------------------ texts

// Every text of the check. {1}..{4} are replaced by the arguments.
enum class T {
    // data files
    DataRc0Missing,
    DataRc0MissingFix,
    DataRc0Broken,
    DataBrokenFix,
    DataLoaded,
    DataLeftOut,
    DataTargetsInLeftOut,
    DataTargetsInLeftOutFix,
    DataNoTargets,
    DataNoTargetsFix,
    DataTargetsInAbsent,
    DataMissionsOnAbsentMap,
    DataAbsentFix,
    // simulator
    SimRootMissing,
    SimRootMissingFix,
    SimExeOk,
    SimExeMissing,
    SimExeMissingFix,
    SimConfMissing,
    SimConfMissingFix,
    SimConfUnreadable,
    SimConfUnreadableFix,
    SimLogUnset,
    SimLogUnsetFix,
    SimLogSet,
    SimLogFolderMissing,
    SimLogFolderMissingFix,
    SimKeepOn,
    SimKeepOff,
    // mission folder
    MisMissing,
    MisMissingBlocked,
    MisMissingBlockedFix,
    MisNotFolder,
    MisNotFolderFix,
    MisUnlistable,
    MisUnlistableFix,
    MisReadOnly,
    MisReadOnlyFix,
    MisWritable,
    MisSpace,
    MisSpaceLow,
    MisSpaceFix,
    MisNumbers,
    MisNumbersEmpty,
    MisNumbersLow,
    MisNumbersFull,
    MisNumbersFix,
    MisSkipped,
    MisSkippedMore,
    SkipReadOnly,
    SkipReadOnlyFix,
    SkipNotFile,
    SkipNotFileFix,
    SkipNoNumber,
    SkipNoNumberFix,
    SkipUnreadable,
    SkipUnreadableFix,
    SkipSameNumber,
    SkipSameNumberFix,
    MisNoDescription,
    MisNoDescriptionFix,
    // event log
    LogMissing,
    LogMissingFix,
    LogNotFile,
    LogNotFileFix,
    LogUnreadable,
    LogUnreadableFix,
    LogInfo,
    LogFlights,
    LogFlying,
    LogNoFlights,
    // sizes
    SizeBytes,
    SizeKiB,
    SizeMiB,
    SizeGiB,
    None,
};

struct TText {
    T Id;
    const char* Ru;
};

const TText kTexts[] = {
    {T::DataRc0Missing, ZELK_TR_NOOP("doctor", "Основной файл данных {1} не найден: задания создавать невозможно.")},
    {T::DataRc0MissingFix,
     ZELK_TR_NOOP("doctor",
                  "Положите файлы данных orvak_zelk.rc0…rc9 в папку {1}, из которой программа их читает "
                  "(это папка программы; в zelk-cli её задаёт параметр --data).")},
    {T::DataRc0Broken, ZELK_TR_NOOP("doctor", "Основной файл данных повреждён, задания создавать невозможно. {1}")},
    {T::DataBrokenFix,
     ZELK_TR_NOOP("doctor",
                  "Замените файл исправной копией из поставки ZELK; если он ссылается на файл данных, "
                  "которого нет, положите тот рядом. Все ошибки файла покажет команда zelk-pack check {1}.")},
    {T::DataLoaded, ZELK_TR_NOOP("doctor", "Загружены файлы данных {1}: карт {2}, целей {3}, самолётов {4}.")},
    {T::DataLeftOut, ZELK_TR_NOOP("doctor", "{1}")},
    {T::DataTargetsInLeftOut,
     ZELK_TR_NOOP("doctor",
                  "Цели {1} берут картинку и блоки объектов из пропущенного файла {2}; задания для них "
                  "пишутся, но файл повреждён.")},
    {T::DataTargetsInLeftOutFix, ZELK_TR_NOOP("doctor", "Замените файл {1} исправной копией.")},
    {T::DataNoTargets,
     ZELK_TR_NOOP("doctor", "В файлах данных нет ни одной карты с целями: задания создавать невозможно.")},
    {T::DataNoTargetsFix, ZELK_TR_NOOP("doctor", "Замените файлы данных исправными копиями из поставки ZELK.")},
    {T::DataTargetsInAbsent,
     ZELK_TR_NOOP("doctor",
                  "Файла данных {1} нет, а цели {2} берут из него картинку и блоки объектов: задания на "
                  "них не сохранятся.")},
    {T::DataMissionsOnAbsentMap,
     ZELK_TR_NOOP("doctor",
                  "Задания {1} летят на карте «{2}», которой нет ни в одном файле данных; её файл {3} "
                  "отсутствует. Эти задания нельзя изменить и сохранить заново, и автогенерация не "
                  "перепишет их после полёта.")},
    {T::DataAbsentFix,
     ZELK_TR_NOOP("doctor", "Верните {1} из поставки ZELK в папку {2} и запустите программу заново.")},

    {T::SimRootMissing, ZELK_TR_NOOP("doctor", "Папка симулятора {1} не найдена.")},
    {T::SimRootMissingFix,
     ZELK_TR_NOOP("doctor",
                  "Установите ZELK в подпапку папки симулятора (например, <симулятор>\\ZELK\\) или укажите "
                  "папку симулятора параметром --root.")},
    {T::SimExeOk, ZELK_TR_NOOP("doctor", "Программа симулятора {1} на месте.")},
    {T::SimExeMissing, ZELK_TR_NOOP("doctor", "Программа симулятора {1} не найдена: кнопка «Пуск» не сработает.")},
    {T::SimExeMissingFix,
     ZELK_TR_NOOP("doctor",
                  "Проверьте, что это папка симулятора: в ней должен лежать orvaksim.exe. ZELK ставится в "
                  "её подпапку; другую папку можно указать параметром --root.")},
    {T::SimConfMissing,
     ZELK_TR_NOOP("doctor",
                  "Файл настроек симулятора {1} не найден: неизвестно, где симулятор ведёт журнал событий, "
                  "и автогенерация не сработает.")},
    {T::SimConfMissingFix,
     ZELK_TR_NOOP("doctor",
                  "Запустите симулятор один раз, чтобы он создал conf.ini, затем добавьте в раздел [game] "
                  "строку eventlog=eventlog.lst.")},
    {T::SimConfUnreadable,
     ZELK_TR_NOOP("doctor",
                  "Файл настроек симулятора {1} не читается ({2}): автогенерация не узнает, где журнал "
                  "событий.")},
    {T::SimConfUnreadableFix,
     ZELK_TR_NOOP("doctor", "Дайте права на чтение файла {1} или замените его обычным файлом.")},
    {T::SimLogUnset,
     ZELK_TR_NOOP("doctor",
                  "В разделе [game] файла {1} не задан ключ eventlog: симулятор не ведёт журнал событий, и "
                  "автогенерация не сработает.")},
    {T::SimLogUnsetFix, ZELK_TR_NOOP("doctor",
                                     "Добавьте в раздел [game] файла {1} строку eventlog=eventlog.lst (и, по желанию, "
                                     "eventlogkeep=1), затем перезапустите симулятор.")},
    {T::SimLogSet, ZELK_TR_NOOP("doctor", "Файл настроек {1} прочитан, журнал событий задан: eventlog={2}.")},
    {T::SimLogFolderMissing,
     ZELK_TR_NOOP("doctor",
                  "Папки {1}, в которой должен лежать журнал событий, нет: симулятор не сможет его "
                  "записать, и автогенерация не сработает.")},
    {T::SimLogFolderMissingFix, ZELK_TR_NOOP("doctor",
                                             "Создайте папку {1} или укажите в ключе eventlog файла conf.ini имя в "
                                             "существующей папке (например, eventlog=eventlog.lst).")},
    {T::SimKeepOn,
     ZELK_TR_NOOP("doctor",
                  "eventlogkeep=1: симулятор дописывает журнал от полёта к полёту; автогенерация учитывает только "
                  "строки, добавленные после её включения.")},
    {T::SimKeepOff, ZELK_TR_NOOP("doctor",
                                 "eventlogkeep=0 (или ключа нет): симулятор начинает журнал заново при каждом запуске; "
                                 "автогенерация читает его с начала.")},

    {T::MisMissing, ZELK_TR_NOOP("doctor", "Папки заданий {1} ещё нет; программа создаст её при запуске.")},
    {T::MisMissingBlocked,
     ZELK_TR_NOOP("doctor", "Папки заданий {1} нет, и создать её невозможно: папка {2} закрыта для записи.")},
    {T::MisMissingBlockedFix, ZELK_TR_NOOP("doctor", "Создайте папку {1} или разрешите запись в папку {2}.")},
    {T::MisNotFolder, ZELK_TR_NOOP("doctor", "На месте папки заданий {1} лежит файл: задания некуда сохранять.")},
    {T::MisNotFolderFix, ZELK_TR_NOOP("doctor", "Переименуйте или удалите файл {1}; программа создаст папку сама.")},
    {T::MisUnlistable,
     ZELK_TR_NOOP("doctor", "Папку заданий {1} невозможно просмотреть ({2}): готовые задания не будут видны.")},
    {T::MisUnlistableFix, ZELK_TR_NOOP("doctor", "Дайте права на чтение и просмотр папки {1}.")},
    {T::MisReadOnly, ZELK_TR_NOOP("doctor", "Папка заданий {1} закрыта для записи: задания не сохранятся.")},
    {T::MisReadOnlyFix,
     ZELK_TR_NOOP("doctor",
                  "Снимите с папки {1} атрибут «Только чтение» (в Linux: chmod u+w) или дайте права на "
                  "запись.")},
    {T::MisWritable, ZELK_TR_NOOP("doctor", "Папка заданий {1} на месте, просматривается, запись в неё разрешена.")},
    {T::MisSpace, ZELK_TR_NOOP("doctor", "Свободно на диске: {1}.")},
    {T::MisSpaceLow,
     ZELK_TR_NOOP("doctor", "На диске папки заданий свободно всего {1}: задания могут не сохраниться.")},
    {T::MisSpaceFix, ZELK_TR_NOOP("doctor", "Освободите место на диске.")},
    {T::MisNumbers, ZELK_TR_NOOP("doctor", "Заданий в папке: {1}; наибольший номер {2}, до предела {4} осталось {3}.")},
    {T::MisNumbersEmpty, ZELK_TR_NOOP("doctor", "Заданий в папке пока нет; номера начнутся с 1.")},
    {T::MisNumbersLow, ZELK_TR_NOOP("doctor", "Наибольший номер задания {1}: до предела {3} осталось всего {2}.")},
    {T::MisNumbersFull, ZELK_TR_NOOP("doctor", "Наибольший номер задания {1}: новые задания создавать невозможно.")},
    {T::MisNumbersFix, ZELK_TR_NOOP("doctor",
                                    "Удалите ненужные задания с самыми большими номерами: новые получают номер после "
                                    "наибольшего.")},
    {T::MisSkipped, ZELK_TR_NOOP("doctor", "Файл {1} пропускается при чтении папки: {2}.")},
    {T::MisSkippedMore, ZELK_TR_NOOP("doctor", "И ещё пропускаемых файлов: {1}.")},
    {T::SkipReadOnly, ZELK_TR_NOOP("doctor", "он только для чтения")},
    {T::SkipReadOnlyFix,
     ZELK_TR_NOOP("doctor", "Если это задание ZELK, снимите с файла атрибут «Только чтение» (в Linux: chmod u+w).")},
    {T::SkipNotFile, ZELK_TR_NOOP("doctor", "это не обычный файл (папка, ссылка или устройство)")},
    {T::SkipNotFileFix, ZELK_TR_NOOP("doctor", "Уберите его из папки заданий.")},
    {T::SkipNoNumber, ZELK_TR_NOOP("doctor", "в имени нет номера задания от {2} до {3} (zelkNNNN.mis)")},
    {T::SkipNoNumberFix, ZELK_TR_NOOP("doctor", "Переименуйте файл или уберите его из папки заданий.")},
    {T::SkipUnreadable, ZELK_TR_NOOP("doctor", "он не читается")},
    {T::SkipUnreadableFix, ZELK_TR_NOOP("doctor", "Дайте права на чтение файла.")},
    {T::SkipSameNumber, ZELK_TR_NOOP("doctor", "это тот же номер, что и у файла {1}, в другом написании")},
    {T::SkipSameNumberFix, ZELK_TR_NOOP("doctor", "Уберите лишний файл.")},
    {T::MisNoDescription, ZELK_TR_NOOP("doctor",
                                       "У задания {1} нет файла описания {2}: в списке оно будет под именем файла, без "
                                       "описания.")},
    {T::MisNoDescriptionFix, ZELK_TR_NOOP("doctor", "Сохраните задание заново в программе.")},

    {T::LogMissing, ZELK_TR_NOOP("doctor", "Журнала событий {1} пока нет; симулятор создаст его при первом полёте.")},
    {T::LogMissingFix,
     ZELK_TR_NOOP("doctor",
                  "Выполните полёт в симуляторе; если журнал не появится, проверьте ключ eventlog в conf.ini.")},
    {T::LogNotFile,
     ZELK_TR_NOOP("doctor", "На месте журнала событий {1} лежит не файл: симулятор не сможет вести журнал.")},
    {T::LogNotFileFix, ZELK_TR_NOOP("doctor", "Уберите {1} или укажите в ключе eventlog файла conf.ini другое имя.")},
    {T::LogUnreadable,
     ZELK_TR_NOOP("doctor", "Журнал событий {1} не открывается для чтения ({2}): автогенерация не включится.")},
    {T::LogUnreadableFix, ZELK_TR_NOOP("doctor", "Дайте права на чтение файла {1}.")},
    {T::LogInfo, ZELK_TR_NOOP("doctor", "Журнал событий {1}: {2}, изменён {3}.")},
    {T::LogFlights,
     ZELK_TR_NOOP("doctor", "В журнале есть полёты заданий ZELK: начато {1}, завершено {2}; последнее задание {3}.")},
    {T::LogFlying,
     ZELK_TR_NOOP("doctor",
                  "В журнале есть полёты заданий ZELK: начато {1}, завершено {2}; задание {3} ещё в полёте "
                  "(или полёт прерван).")},
    {T::LogNoFlights, ZELK_TR_NOOP("doctor", "В журнале пока нет полётов заданий ZELK.")},

    {T::SizeBytes, ZELK_TR_NOOP("doctor", "{1} байт")},
    {T::SizeKiB, ZELK_TR_NOOP("doctor", "{1} КБ")},
    {T::SizeMiB, ZELK_TR_NOOP("doctor", "{1} МБ")},
    {T::SizeGiB, ZELK_TR_NOOP("doctor", "{1} ГБ")},
    {T::None, ZELK_TR_NOOP("doctor", "(нет)")},
};

struct TWordText {
    TDoctorWord Id;
    const char* Ru;
};

const TWordText kWords[] = {
    {TDoctorWord::Title, ZELK_TR_NOOP("doctor", "Проверка установки ZELK")},
    {TDoctorWord::FixLabel, ZELK_TR_NOOP("doctor", "Что сделать: ")},
    {TDoctorWord::Passed, ZELK_TR_NOOP("doctor", "Итог: всё, что нужно для работы, в порядке.")},
    {TDoctorWord::Failed,
     ZELK_TR_NOOP("doctor", "Итог: найдено ошибок: {1}. Исправьте их, как сказано в пунктах «Что сделать».")},
    {TDoctorWord::WarningsCount, ZELK_TR_NOOP("doctor", " Предупреждений: {1}.")},
    {TDoctorWord::OfferQuestion,
     ZELK_TR_NOOP("doctor",
                  "Журнал событий симулятора не настроен: автогенерация не узнает об окончании "
                  "полётов.\nПоказать проверку установки?")},
    {TDoctorWord::Recheck, ZELK_TR_NOOP("doctor", "Проверить снова")},
    {TDoctorWord::Close, ZELK_TR_NOOP("doctor", "Закрыть")},
    {TDoctorWord::ButtonCaption, ZELK_TR_NOOP("doctor", "Проверка установки")},
    {TDoctorWord::ButtonHint, ZELK_TR_NOOP("doctor", "Проверить файлы данных, папки и настройки симулятора")},
};

const char* const kAreaNames[] = {ZELK_TR_NOOP("doctor", "Файлы данных"), ZELK_TR_NOOP("doctor", "Симулятор"),
                                  ZELK_TR_NOOP("doctor", "Папка заданий"), ZELK_TR_NOOP("doctor", "Журнал событий")};
const char* const kStatusNames[] = {ZELK_TR_NOOP("doctor", "ок"), ZELK_TR_NOOP("doctor", "внимание"),
                                    ZELK_TR_NOOP("doctor", "ОШИБКА")};

std::string FillBraces(std::string_view pattern, std::initializer_list<std::string> args) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 2] == '}' && pattern[i + 1] >= '1' &&
            pattern[i + 1] <= '9') {
            const std::size_t k = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (k < args.size()) out += *(args.begin() + k);
            i += 2;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string Tx(T id, std::initializer_list<std::string> args = {}) {
    for (const auto& t : kTexts)
        if (t.Id == id) return FillBraces(Tr("doctor", t.Ru), args);
    return {};
}

// ------------------------------------------------------------------ helpers

std::string PathText(fs::path p) { return PathToUtf8(p.make_preferred()); }

std::string Quoted(const fs::path& p) { return "«" + PathText(p) + "»"; }

// A mission number as its file name writes it: "0001".
std::string NumberDigits(int number) {
    const std::string name = MissionFileName(number);
    return name.substr(kMissionPrefix.size(), name.size() - kMissionPrefix.size() - kMissionExtension.size());
}

std::string SizeText(std::uintmax_t bytes) {
    constexpr std::uintmax_t k = 1024;
    if (bytes < 10 * k) return Tx(T::SizeBytes, {std::to_string(bytes)});
    if (bytes < 10 * k * k) return Tx(T::SizeKiB, {std::to_string(bytes / k)});
    if (bytes < 10 * k * k * k) return Tx(T::SizeMiB, {std::to_string(bytes / (k * k))});
    return Tx(T::SizeGiB, {std::to_string(bytes / (k * k * k))});
}

std::string LocalTimeText(fs::file_time_type t) {
    const auto sys = std::chrono::file_clock::to_sys(t);
    const std::time_t tt =
        std::chrono::system_clock::to_time_t(std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys));
    std::tm tm{};
#ifdef _WIN32
    if (localtime_s(&tm, &tt) != 0) return "?";
#else
    if (localtime_r(&tt, &tm) == nullptr) return "?";
#endif
    char buf[32];
    // The translation chooses its own order: English names the month.
    const std::string format = Tr("doctor", "%d.%m.%Y %H:%M");
    if (std::strftime(buf, sizeof buf, format.c_str(), &tm) == 0) return "?";
    return buf;
}

std::string Join(const std::vector<std::string>& names, std::size_t limit = 8) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < limit; ++i) text += (i ? ", " : "") + names[i];
    if (names.size() > limit) text += " … (" + std::to_string(names.size()) + ")";
    return text.empty() ? Tx(T::None) : text;
}

bool HasBit(fs::perms p, fs::perms bit) { return (p & bit) != fs::perms::none; }

// The pilot's words for the system's usual refusals; the system's own for
// the rest.
std::string ReasonText(const std::error_code& ec) {
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
        return Tr("doctor", "нет доступа");
    if (ec == std::errc::no_such_file_or_directory) return Tr("doctor", "не найден");
    if (ec == std::errc::is_a_directory) return Tr("doctor", "это папка");
    if (ec == std::errc::too_many_files_open || ec == std::errc::too_many_files_open_in_system)
        return Tr("doctor", "открыто слишком много файлов");
    return ec ? ec.message() : Tr("doctor", "не удалось открыть");
}

// Why a file cannot be opened; empty when it can.
std::string OpenError(const fs::path& file) {
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (in) return {};
    return ReasonText(std::error_code(errno, std::generic_category()));
}

struct TReport {
    std::vector<TDoctorItem> Items;
    void Add(TDoctorArea area, TDoctorStatus status, std::string what, std::string fix = {}) {
        Items.push_back({area, status, std::move(what), std::move(fix)});
    }
};

// ------------------------------------------------------------------ data files

// The data file a mission was made from, as its journal's newest line
// records it; -1 when the journal does not know the mission.
int DataFileInJournal(const TDoctorInput& in, int number) {
    if (in.JournalFile.empty()) return -1;
    const std::vector<TVariant> variants = TJournal(in.JournalFile).Variants(number);
    if (variants.empty()) return -1;
    for (const TDataFileHash& h : variants.back().Hashes)
        if (h.File != 0) return h.File;
    return -1;
}

// A data file the loader skips for being absent is still needed when a
// loaded target takes its picture from it, or a mission in the folder flies
// on one of its maps.
void CheckAbsentDataFiles(const TDoctorInput& in, const TRefData& ref, TReport& r) {
    constexpr auto A = TDoctorArea::Data;
    std::vector<int> absent;
    for (int n = 1; n < kDataFileCount; ++n) {
        std::error_code ec;
        if (!fs::exists(ref.DataFilePath(n), ec) && !ec) absent.push_back(n);
    }
    if (absent.empty()) return;
    const auto isAbsent = [&](int n) { return std::find(absent.begin(), absent.end(), n) != absent.end(); };

    std::map<int, std::vector<std::string>> pointing;
    for (const auto& t : ref.Targets.Items)
        if (isAbsent(t->DataFile)) pointing[t->DataFile].push_back("«" + Cp1251ToUtf8(t->Name) + "»");
    for (const auto& [file, names] : pointing)
        r.Add(A, TDoctorStatus::Fault, Tx(T::DataTargetsInAbsent, {DataFileName(file), Join(names)}),
              Tx(T::DataAbsentFix, {DataFileName(file), Quoted(ref.Dir)}));

    // Missions on maps no loaded file has, by map, with the files they need.
    struct TOrphans {
        std::vector<std::string> Missions;
        std::vector<int> Files;
    };
    std::map<std::string, TOrphans> orphans;
    int error = 0;
    std::vector<std::string> names;
    (void)ListFolder(
        in.MissionFolder, [&](const std::string& name) { names.push_back(name); }, error);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const int number = MissionNumberFromEntry(name);
        if (number < 0 || name.size() < 4 || name.substr(name.size() - 4) != ".mis") continue;
        TMission mission;
        if (!ReadMissionFile(in.MissionFolder / name, mission) || mission.Data.Map.empty()) continue;
        const bool known = std::any_of(ref.Maps.Items.begin(), ref.Maps.Items.end(),
                                       [&](const TMap& m) { return m.Key == mission.Data.Map; });
        if (known) continue;
        TOrphans& o = orphans[mission.Data.Map];
        o.Missions.push_back(name);
        const int file = DataFileInJournal(in, number);
        if (isAbsent(file) && std::find(o.Files.begin(), o.Files.end(), file) == o.Files.end()) o.Files.push_back(file);
    }
    for (auto& [map, o] : orphans) {
        // Without the journal's word, any absent file may have held the map.
        if (o.Files.empty()) o.Files = absent;
        std::vector<std::string> files;
        for (int n : o.Files) files.push_back(DataFileName(n));
        const std::string fileText = Join(files, 10);
        r.Add(A, TDoctorStatus::Fault, Tx(T::DataMissionsOnAbsentMap, {Join(o.Missions), Cp1251ToUtf8(map), fileText}),
              Tx(T::DataAbsentFix, {fileText, Quoted(ref.Dir)}));
    }
}

void CheckData(const TDoctorInput& in, TReport& r) {
    constexpr auto A = TDoctorArea::Data;
    TRefData ref;
    try {
        ref = LoadRefData(in.DataDir);
    } catch (const TFileError& e) {
        std::error_code ec;
        if (!fs::exists(e.File(), ec) && !ec)
            r.Add(A, TDoctorStatus::Fault, Tx(T::DataRc0Missing, {Quoted(e.File())}),
                  Tx(T::DataRc0MissingFix, {Quoted(in.DataDir)}));
        else
            r.Add(A, TDoctorStatus::Fault, Tx(T::DataRc0Broken, {e.what()}),
                  Tx(T::DataBrokenFix, {PathText(e.File())}));
        return;
    } catch (const std::exception& e) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::DataRc0Broken, {e.what()}),
              Tx(T::DataBrokenFix, {PathText(in.DataDir / DataFileName(0))}));
        return;
    }

    std::vector<std::string> loaded;
    for (int n = 0; n < kDataFileCount; ++n) {
        std::error_code ec;
        const bool leftOut = std::find(ref.LeftOutFiles.begin(), ref.LeftOutFiles.end(), n) != ref.LeftOutFiles.end();
        if (!leftOut && fs::exists(ref.DataFilePath(n), ec)) loaded.push_back(DataFileName(n));
    }
    r.Add(A, TDoctorStatus::Ok,
          Tx(T::DataLoaded, {Join(loaded, 10), std::to_string(ref.Maps.Count()), std::to_string(ref.Targets.Count()),
                             std::to_string(ref.Aircrafts.Count())}));
    for (std::size_t i = 0; i < ref.Warnings.size() && i < ref.LeftOutFiles.size(); ++i)
        r.Add(A, TDoctorStatus::Fault, Tx(T::DataLeftOut, {ref.Warnings[i]}),
              Tx(T::DataBrokenFix, {PathText(ref.DataFilePath(ref.LeftOutFiles[i]))}));

    // Targets of loaded files whose picture and blocks lie in a left-out one.
    std::map<int, std::vector<std::string>> borrowed;
    for (const auto& t : ref.Targets.Items)
        if (std::find(ref.LeftOutFiles.begin(), ref.LeftOutFiles.end(), t->DataFile) != ref.LeftOutFiles.end())
            borrowed[t->DataFile].push_back("«" + Cp1251ToUtf8(t->Name) + "»");
    for (const auto& [file, names] : borrowed)
        r.Add(A, TDoctorStatus::Warning, Tx(T::DataTargetsInLeftOut, {Join(names), DataFileName(file)}),
              Tx(T::DataTargetsInLeftOutFix, {Quoted(ref.DataFilePath(file))}));

    if (ref.Maps.Count() == 0) r.Add(A, TDoctorStatus::Fault, Tx(T::DataNoTargets), Tx(T::DataNoTargetsFix));
    CheckAbsentDataFiles(in, ref, r);
}

// ------------------------------------------------------------------ simulator

void CheckSimulator(const TDoctorInput& in, TReport& r) {
    constexpr auto A = TDoctorArea::Simulator;
    std::error_code ec;
    if (!fs::is_directory(in.Root, ec)) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::SimRootMissing, {Quoted(in.Root)}), Tx(T::SimRootMissingFix));
        return;
    }
    if (fs::is_regular_file(in.SimulatorExe, ec))
        r.Add(A, TDoctorStatus::Ok, Tx(T::SimExeOk, {Quoted(in.SimulatorExe)}));
    else
        r.Add(A, TDoctorStatus::Fault, Tx(T::SimExeMissing, {Quoted(in.SimulatorExe)}), Tx(T::SimExeMissingFix));

    const fs::path conf = in.Root / "conf.ini";
    const auto confStatus = fs::status(conf, ec);
    if (!fs::exists(confStatus)) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::SimConfMissing, {Quoted(conf)}), Tx(T::SimConfMissingFix));
        return;
    }
    std::string why;
    if (!fs::is_regular_file(confStatus))
        why = Tr("doctor", "это не файл");
    else if (!HasBit(confStatus.permissions(), fs::perms::owner_read))
        why = Tr("doctor", "нет доступа");
    else
        why = OpenError(conf);
    if (!why.empty()) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::SimConfUnreadable, {Quoted(conf), why}),
              Tx(T::SimConfUnreadableFix, {Quoted(conf)}));
        return;
    }
    if (in.EventLogName.empty()) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::SimLogUnset, {Quoted(conf)}), Tx(T::SimLogUnsetFix, {Quoted(conf)}));
        return;
    }
    r.Add(A, TDoctorStatus::Ok, Tx(T::SimLogSet, {Quoted(conf), in.EventLogName}));
    const fs::path folder = EventLogPath(in.Root, in.EventLogName).parent_path();
    if (!fs::is_directory(folder, ec))
        r.Add(A, TDoctorStatus::Fault, Tx(T::SimLogFolderMissing, {Quoted(folder)}),
              Tx(T::SimLogFolderMissingFix, {Quoted(folder)}));
    r.Add(A, TDoctorStatus::Ok, Tx(in.KeepEventLog ? T::SimKeepOn : T::SimKeepOff));
}

// ------------------------------------------------------------------ missions

// Creates and removes a file of our own in the folder: the system's answer
// to whether a save would work, whatever its access rules.
bool CanCreateFileIn(const fs::path& folder) {
    std::random_device rd;
    const fs::path probe = folder / (".zelk-check-" + std::to_string(rd()) + ".tmp");
    std::error_code ec;
    if (fs::exists(fs::symlink_status(probe, ec))) return false;
    {
        std::ofstream out(probe, std::ios::binary);
        if (!out) return false;
    }
    return fs::remove(probe, ec) && !ec;
}

// A folder the system lets us write in and that is not marked read-only.
// The mark is the owner's write bit, which is also the read-only attribute
// on Windows: a privileged user writes through it, but the pilot who set it
// means the folder to stay as it is, and ZELK's scan honours it for files.
bool WritableFolder(const fs::path& folder) {
    std::error_code ec;
    const auto st = fs::status(folder, ec);
    if (ec || !HasBit(st.permissions(), fs::perms::owner_write)) return false;
    return CanCreateFileIn(folder);
}

struct TSkipped {
    std::string Name;
    T Reason;
    T Fix;
    std::string Other;  // the file it repeats (SkipSameNumber)
};

void CheckMissions(const TDoctorInput& in, TReport& r) {
    constexpr auto A = TDoctorArea::Missions;
    const fs::path& folder = in.MissionFolder;
    std::error_code ec;
    const auto st = fs::status(folder, ec);
    if (!fs::exists(st)) {
        // The scan creates it with its parents: that needs the nearest
        // existing parent to be writable.
        fs::path parent = folder.parent_path();
        while (!parent.empty() && !fs::exists(parent, ec) && parent != parent.parent_path())
            parent = parent.parent_path();
        if (fs::is_directory(parent, ec) && WritableFolder(parent))
            r.Add(A, TDoctorStatus::Warning, Tx(T::MisMissing, {Quoted(folder)}));
        else
            r.Add(A, TDoctorStatus::Fault, Tx(T::MisMissingBlocked, {Quoted(folder), Quoted(parent)}),
                  Tx(T::MisMissingBlockedFix, {Quoted(folder), Quoted(parent)}));
        return;
    }
    if (!fs::is_directory(st)) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::MisNotFolder, {Quoted(folder)}), Tx(T::MisNotFolderFix, {Quoted(folder)}));
        return;
    }

    // The folder's entries, listed as the scan lists them.
    std::vector<fs::directory_entry> entries;
    fs::directory_iterator it(folder, ec);
    if (!ec && !HasBit(st.permissions(), fs::perms::owner_read))
        ec = std::make_error_code(std::errc::permission_denied);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) entries.push_back(*it);
    if (ec) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::MisUnlistable, {Quoted(folder), ReasonText(ec)}),
              Tx(T::MisUnlistableFix, {Quoted(folder)}));
        return;
    }

    if (WritableFolder(folder))
        r.Add(A, TDoctorStatus::Ok, Tx(T::MisWritable, {Quoted(folder)}));
    else
        r.Add(A, TDoctorStatus::Fault, Tx(T::MisReadOnly, {Quoted(folder)}), Tx(T::MisReadOnlyFix, {Quoted(folder)}));

    const fs::space_info space = fs::space(folder, ec);
    if (!ec) {
        constexpr std::uintmax_t kLow = 50u * 1024 * 1024;  // some hundred missions at least
        if (space.available < kLow)
            r.Add(A, TDoctorStatus::Warning, Tx(T::MisSpaceLow, {SizeText(space.available)}), Tx(T::MisSpaceFix));
        else
            r.Add(A, TDoctorStatus::Ok, Tx(T::MisSpace, {SizeText(space.available)}));
    }

    // What the scan takes and what it skips, and why.
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
    std::vector<TSkipped> skipped;
    std::map<int, std::string> taken;
    std::vector<std::pair<std::string, std::string>> undescribed;
    int highest = 0;
    for (const auto& entry : entries) {
        const std::string name = PathText(entry.path().filename());
        if (!LooksLikeMissionFile(name)) continue;
        const int number = MissionNumberFromEntry(name);
        const auto est = entry.symlink_status(ec);
        if (ec || est.type() != fs::file_type::regular) {
            skipped.push_back({name, T::SkipNotFile, T::SkipNotFileFix, {}});
            continue;
        }
        if (number < 0) {
            skipped.push_back({name, T::SkipNoNumber, T::SkipNoNumberFix, {}});
            continue;
        }
        if (!HasBit(est.permissions(), fs::perms::owner_write)) {
            skipped.push_back({name, T::SkipReadOnly, T::SkipReadOnlyFix, {}});
            continue;
        }
        highest = std::max(highest, number);
        if (auto seen = taken.find(number); seen != taken.end()) {
            skipped.push_back({name, T::SkipSameNumber, T::SkipSameNumberFix, seen->second});
            continue;
        }
        TMission m;
        m.MakeFileNames(number);
        const fs::path file = folder / m.FileName;
        if (!HasBit(fs::status(file, ec).permissions(), fs::perms::owner_read) || !OpenError(file).empty()) {
            skipped.push_back({name, T::SkipUnreadable, T::SkipUnreadableFix, {}});
            continue;
        }
        taken[number] = name;
        if (!fs::is_regular_file(folder / m.PropFileName, ec))
            undescribed.emplace_back(name, Cp1251ToUtf8(m.PropFileName));
    }

    const int remaining = kMaxMissionNumber - highest;
    const std::string limit = std::to_string(kMaxMissionNumber);
    if (taken.empty() && highest == 0)
        r.Add(A, TDoctorStatus::Ok, Tx(T::MisNumbersEmpty));
    else if (remaining == 0)
        r.Add(A, TDoctorStatus::Fault, Tx(T::MisNumbersFull, {limit}), Tx(T::MisNumbersFix));
    else if (remaining < 100)
        r.Add(A, TDoctorStatus::Warning,
              Tx(T::MisNumbersLow, {std::to_string(highest), std::to_string(remaining), limit}), Tx(T::MisNumbersFix));
    else
        r.Add(A, TDoctorStatus::Ok,
              Tx(T::MisNumbers,
                 {std::to_string(taken.size()), std::to_string(highest), std::to_string(remaining), limit}));

    // Each skipped file on its own line, up to a screenful.
    constexpr std::size_t kShown = 20;
    for (std::size_t i = 0; i < skipped.size() && i < kShown; ++i) {
        const auto& s = skipped[i];
        // The reasons take the other file's name and the first and last number.
        const std::string reason = Tx(s.Reason, {"«" + s.Other + "»", NumberDigits(kMissionNumberRange.Lo),
                                                 NumberDigits(kMissionNumberRange.Hi)});
        r.Add(A, TDoctorStatus::Warning, Tx(T::MisSkipped, {"«" + s.Name + "»", reason}), Tx(s.Fix));
    }
    if (skipped.size() > kShown)
        r.Add(A, TDoctorStatus::Warning, Tx(T::MisSkippedMore, {std::to_string(skipped.size() - kShown)}));
    for (std::size_t i = 0; i < undescribed.size() && i < kShown; ++i)
        r.Add(A, TDoctorStatus::Warning,
              Tx(T::MisNoDescription, {"«" + undescribed[i].first + "»", "«" + undescribed[i].second + "»"}),
              Tx(T::MisNoDescriptionFix));
}

// ------------------------------------------------------------------ event log

struct TLogCount {
    int Started = 0;
    int Ended = 0;
    bool Playing = false;
    std::string Last;
};

void CountLines(std::string_view text, TLogCount& c) {
    for (const TLogLine& line : SplitLogLines(text)) {
        if (IsStartLine(line.Text)) {
            ++c.Started;
            c.Playing = true;
            c.Last = MissionNameFromLine(line.Text);
        } else if (IsEndLine(line.Text) && c.Playing) {
            ++c.Ended;
            c.Playing = false;
        }
    }
}

// Reads the log in pieces, so that a huge one needs no memory of its size;
// a line cut by a piece's end is carried to the next.
bool CountFlights(const fs::path& log, TLogCount& c) {
    std::ifstream in(log, std::ios::binary);
    if (!in) return false;
    constexpr std::size_t kPiece = 1 << 20;
    std::string carry, piece(kPiece, '\0');
    while (in) {
        in.read(piece.data(), static_cast<std::streamsize>(kPiece));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0) break;
        carry.append(piece, 0, got);
        const std::size_t cut = carry.find_last_of("\r\n");
        // A CR at the very end may be the first half of CR LF: keep it back.
        if (cut == std::string::npos || (cut + 1 == carry.size() && carry[cut] == '\r')) continue;
        CountLines(std::string_view(carry).substr(0, cut + 1), c);
        carry.erase(0, cut + 1);
    }
    if (in.bad()) return false;
    CountLines(carry, c);
    return true;
}

void CheckEventLog(const TDoctorInput& in, TReport& r) {
    constexpr auto A = TDoctorArea::EventLog;
    std::error_code ec;
    if (in.EventLogName.empty() || !fs::is_directory(in.Root, ec)) return;
    const fs::path log = EventLogPath(in.Root, in.EventLogName);
    if (!fs::is_directory(log.parent_path(), ec)) return;  // told under the simulator's settings
    const auto st = fs::status(log, ec);
    if (!fs::exists(st)) {
        r.Add(A, TDoctorStatus::Warning, Tx(T::LogMissing, {Quoted(log)}), Tx(T::LogMissingFix));
        return;
    }
    if (!fs::is_regular_file(st)) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::LogNotFile, {Quoted(log)}), Tx(T::LogNotFileFix, {Quoted(log)}));
        return;
    }
    std::string why = HasBit(st.permissions(), fs::perms::owner_read) ? OpenError(log) : Tr("doctor", "нет доступа");
    TLogCount count;
    if (why.empty() && !CountFlights(log, count)) why = Tr("doctor", "ошибка чтения");
    if (!why.empty()) {
        r.Add(A, TDoctorStatus::Fault, Tx(T::LogUnreadable, {Quoted(log), why}),
              Tx(T::LogUnreadableFix, {Quoted(log)}));
        return;
    }
    const auto size = fs::file_size(log, ec);
    const auto time = fs::last_write_time(log, ec);
    r.Add(A, TDoctorStatus::Ok, Tx(T::LogInfo, {Quoted(log), SizeText(ec ? 0 : size), ec ? "?" : LocalTimeText(time)}));
    if (count.Started == 0)
        r.Add(A, TDoctorStatus::Ok, Tx(T::LogNoFlights));
    else
        r.Add(A, TDoctorStatus::Ok,
              Tx(count.Playing ? T::LogFlying : T::LogFlights,
                 {std::to_string(count.Started), std::to_string(count.Ended), "«" + count.Last + "»"}));
}

}  // namespace

std::vector<TDoctorItem> RunDoctor(const TDoctorInput& input) {
    TReport report;
    // Each area on its own: an unexpected failure in one still leaves the others.
    using TCheck = void (*)(const TDoctorInput&, TReport&);
    const std::pair<TDoctorArea, TCheck> checks[] = {{TDoctorArea::Data, CheckData},
                                                     {TDoctorArea::Simulator, CheckSimulator},
                                                     {TDoctorArea::Missions, CheckMissions},
                                                     {TDoctorArea::EventLog, CheckEventLog}};
    for (const auto& [area, check] : checks) {
        try {
            check(input, report);
        } catch (const std::exception& e) {
            report.Add(area, TDoctorStatus::Fault, e.what());
        }
    }
    return report.Items;
}

bool DoctorPassed(const std::vector<TDoctorItem>& items) {
    return std::none_of(items.begin(), items.end(),
                        [](const TDoctorItem& i) { return i.Status == TDoctorStatus::Fault; });
}

bool EventLogSettingUsable(const fs::path& root, const std::string& eventLogName) {
    std::error_code ec;
    return !eventLogName.empty() && fs::is_directory(EventLogPath(root, eventLogName).parent_path(), ec);
}

std::string DoctorWord(TDoctorWord word, const std::string& arg) {
    for (const auto& w : kWords)
        if (w.Id == word) return FillBraces(Tr("doctor", w.Ru), {arg});
    return {};
}

std::string DoctorAreaName(TDoctorArea area) { return Tr("doctor", kAreaNames[static_cast<int>(area)]); }
std::string DoctorStatusName(TDoctorStatus status) { return Tr("doctor", kStatusNames[static_cast<int>(status)]); }

const char* DoctorAreaKey(TDoctorArea area) {
    static const char* const keys[] = {"data", "simulator", "missions", "event_log"};
    return keys[static_cast<int>(area)];
}

const char* DoctorStatusKey(TDoctorStatus status) {
    static const char* const keys[] = {"ok", "warning", "fault"};
    return keys[static_cast<int>(status)];
}

std::string DoctorReportText(const std::vector<TDoctorItem>& items) {
    std::string text = DoctorWord(TDoctorWord::Title) + "\n";
    int faults = 0, warnings = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TDoctorItem& item = items[i];
        if (i == 0 || items[i - 1].Area != item.Area) text += "\n" + DoctorAreaName(item.Area) + "\n";
        faults += item.Status == TDoctorStatus::Fault;
        warnings += item.Status == TDoctorStatus::Warning;
        text += "  [" + DoctorStatusName(item.Status) + "] " + item.What + "\n";
        if (!item.Fix.empty()) text += "      " + DoctorWord(TDoctorWord::FixLabel) + item.Fix + "\n";
    }
    text += "\n";
    text += faults ? DoctorWord(TDoctorWord::Failed, std::to_string(faults)) : DoctorWord(TDoctorWord::Passed);
    if (warnings) text += DoctorWord(TDoctorWord::WarningsCount, std::to_string(warnings));
    return text + "\n";
}

}  // namespace zelk
